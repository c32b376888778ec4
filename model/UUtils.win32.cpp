#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "model/UUtils.h"

namespace {

std::string WebPageCommand() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return "";
    std::string command;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
        std::vector<char> buffer(size + 1, '\0');
        if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
            ERROR_SUCCESS)
            command = buffer.data();
    }
    RegCloseKey(key);
    return command;
}

// One command-line argument whatever the address holds: quotes inside it are
// percent-encoded and backslashes before the closing quote doubled, so that
// spaces or quotes in an address cannot add arguments of their own.
std::string QuotedArgument(const std::string& address) {
    std::string out = "\"";
    for (char c : address) {
        if (c == '"')
            out += "%22";
        else
            out += c;
    }
    size_t trailing = 0;
    while (trailing < address.size() && address[address.size() - 1 - trailing] == '\\') ++trailing;
    out.append(trailing, '\\');
    return out + "\"";
}

}  // namespace

bool OpenURL(const std::string& address) {
    std::string command = WebPageCommand();
    if (command.empty()) return false;
    // The browser is the path between the first two double quotes; a command
    // without quotes names no program, and nothing is started.
    std::string program;
    size_t open = command.find('"');
    if (open != std::string::npos) {
        size_t close = command.find('"', open + 1);
        program = command.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    }
    if (!program.empty())
        ShellExecuteA(nullptr, "open", program.c_str(), QuotedArgument(address).c_str(), nullptr, SW_SHOW);
    return true;
}
