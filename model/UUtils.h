#pragma once
// Field and line splitting for the planner's data files.
#include <string>
#include <string_view>
#include <vector>

#include "core/StringList.h"

// Empties `list`, then adds the fields of `text` separated by `delimiter`: a
// field before every delimiter (also an empty one), and the text after the
// last delimiter only when it is not empty. "a^^b" gives a, "", b; "a^b^"
// gives a, b; "^a" gives "", a; "" gives nothing.
void SplitString(char delimiter, const std::string& text, TStringList& list);

// The same fields as views into `text`, for readers that build their own
// objects from them.
void SplitStringViews(char delimiter, std::string_view text, std::vector<std::string_view>& fields);

// Fields of one delimited line (task lines: delimiter ',', quote '^'):
// characters of code 1 to 32 around fields are skipped; a field that begins
// with the quote runs to the next quote not followed by another one, and a
// doubled quote inside it stands for one; any other field runs to the next
// delimiter or character of code 32 or below; a delimiter that is the last
// character of the line adds an empty field. A NUL byte ends the line.
// `fields` is refilled; its strings keep their capacity between calls.
void SplitDelimitedText(std::string_view line, char delimiter, char quote, std::vector<std::string>& fields);

// Removes leading and trailing characters of code 32 or below.
std::string_view TrimView(std::string_view s);


// Windows build only. Opens `address` with the shell's registered command for
// web pages (the program named in quotes in the default value of
// HKEY_CLASSES_ROOT\htmlfile\shell\open\command), passing the address as
// one quoted argument. Returns false, opening nothing, when no command is
// registered; true otherwise, whether or not a program could be started.
bool OpenURL(const std::string& address);
