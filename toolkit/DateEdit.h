#pragma once
// An edit with the date mask "!99/99/0000;1; ": the text always has the
// form "  /  /    ", digits fill the blank positions and the slashes stay.
#include <string>

#include "toolkit/StdCtrls.h"

class TDateEdit : public TEdit {
public:
    TDateEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int height);
    static constexpr const char* BlankText = "  /  /    ";
    // Sets the text through the mask: digits land on the digit positions.
    void SetMaskedText(const std::string& text);

protected:
    void OnKey(TMessage& m) override;
    void WndProc(TMessage& m) override;

private:
    static bool IsDigitPosition(int pos) { return pos >= 0 && pos < 10 && pos != 2 && pos != 5; }
    void PutChar(char c);
    void Backspace();
    void ClearSelection();
    void PasteDigits();
    int Caret() const;
    void SetCaret(int pos);
};
