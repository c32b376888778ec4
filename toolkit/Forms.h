#pragma once
// Top-level windows (forms), modal loops with dialog keys, and the
// application object that owns the message loop and the forms list.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/Errors.h"
#include "toolkit/Controls.h"

class TButtonControl;

enum TModalResultValue : int { mrNone = 0, mrOk = 1, mrCancel = 2 };
enum TBorderStyle { bsSizeable, bsDialog, bsSingle };
enum TPosition { poDesigned, poScreenCenter };
enum TBorderIconKind : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };

using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TForm : public TCustomControl {
public:
    // Creates the (hidden) window; the derived form builds its components and
    // then calls Loaded() to place itself.
    TForm(TComponent* owner, const std::string& caption, int clientWidth, int clientHeight,
          TBorderStyle border = bsSizeable, unsigned borderIcons = biSystemMenu | biMinimize | biMaximize);
    ~TForm() override;

    TPosition Position = poScreenCenter;
    int ModalResult = mrNone;
    TNotifyEvent OnShow, OnResize, OnDestroy;
    TCloseQueryEvent OnCloseQuery;

    void SetClientSize(int width, int height);
    void Show();
    void Hide();
    int ShowModal();
    void Close();
    bool IsModal() const { return FModal; }

    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* control);
    void ActiveControlFocused(TWinControl* control);

    // The buttons Enter and Escape press when the focused control does not
    // take those keys itself.
    TButtonControl* DefaultButton = nullptr;
    TButtonControl* CancelButton = nullptr;

    // Tab, Shift+Tab, Enter and Escape; true when the key was used.
    bool DialogKey(unsigned short key, bool shift);
    // Focus order: every focusable control, depth first by tab order.
    std::vector<TWinControl*> TabList() const;
    void SelectNext(bool forward);

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // Frees the form: the window goes first, while the whole object exists.
    void Release();

protected:
    void BoundsChanged() override;

private:
    static DWORD FormStyle(TBorderStyle border, unsigned borderIcons);
    void CenterOnScreen();
    bool CloseQuery();

    TWinControl* FActiveControl = nullptr;
    bool FModal = false;
    bool FShownOnce = false;
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    std::string Title;
    TForm* MainForm = nullptr;
    bool Terminated = false;

    void Initialize();
    template <class F>
    void CreateForm(F*& reference) {
        reference = new F(this);
        if (!MainForm) MainForm = reference;
    }
    void Run();
    void Terminate();
    // Handles one queued message, with dialog keys; false when none was queued.
    bool ProcessMessage();
    void ProcessMessages();
    void HandleMessage();

    void HandleException(const std::exception& e);
    void ShowException(const std::exception& e);

    const std::vector<TForm*>& Forms() const { return FForms; }
    void AddForm(TForm* f) { FForms.push_back(f); }
    void RemoveForm(TForm* f);

private:
    bool DispatchOne(MSG& msg);
    std::vector<TForm*> FForms;  // creation order
};

extern TApplication* Application;

// Formats a date with the user's short date format (date part only).
std::string FormatShortDate(const SYSTEMTIME& date);
