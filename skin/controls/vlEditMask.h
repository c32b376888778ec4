#pragma once
// An edit mask: which character each place of a masked edit accepts and
// which places are fixed literals. The mask is "pattern;save literals;blank"
// (the last two optional, defaults "1" and "_"). Pattern characters:
//   0 digit, 9 digit or blank, # digit, sign or blank,
//   L letter, l letter or blank, A letter or digit, a the same or blank,
//   C any character, c any character or blank,
//   > upper case from here, < lower case from here, <> neither,
//   \ the next character is a literal; ! is accepted and ignored;
//   anything else is a literal shown as it is.
// The edit shows the display text: one character per place, blanks where
// nothing was typed yet. Portable: no window is involved.
#include <string>
#include <vector>

class TvlEditMask {
public:
    TvlEditMask() = default;
    explicit TvlEditMask(const std::string& mask);

    bool Empty() const { return FPlaces.empty(); }
    char Blank() const { return FBlank; }
    bool SavesLiterals() const { return FSaveLiterals; }
    int Length() const { return static_cast<int>(FPlaces.size()); }
    bool IsLiteral(int place) const;

    // Every place blank, the literals in theirs.
    std::string BlankText() const;
    // The display text holding `value` (with or without its literals),
    // placed character by character; what a place refuses stays blank.
    std::string Apply(const std::string& value) const;
    // The value a program reads: the display text with its literals when
    // they are saved, else only the typed places; blanks read as spaces.
    std::string Value(const std::string& display) const;
    // Every required place filled.
    bool Complete(const std::string& display) const;

    // The first place at or after `from` that takes typing (Length() when none).
    int NextEditable(int from) const;
    // The last place before `from` that takes typing (-1 when none).
    int PriorEditable(int from) const;
    // Types `c` at the caret: into the first editable place at or after it,
    // case converted as the place says. False (nothing changed) when the
    // place refuses the character or there is none; otherwise the caret
    // moves to the next editable place.
    bool Type(std::string& display, int& caret, char c) const;
    // Blanks the editable places in [start, end).
    void Clear(std::string& display, int start, int end) const;
    // Backspace: blanks the editable place before the caret and moves there.
    bool Backspace(std::string& display, int& caret) const;

private:
    enum class Kind { Literal, Digit, DigitSign, Letter, AlphaNumeric, Any };
    enum class Case { Keep, Upper, Lower };
    struct Place {
        Kind kind = Kind::Literal;
        bool required = false;
        Case letterCase = Case::Keep;
        char literal = 0;
    };
    bool Accepts(const Place& place, char& c) const;

    std::vector<Place> FPlaces;
    bool FSaveLiterals = true;
    char FBlank = '_';
};
