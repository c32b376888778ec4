#pragma once
// The report dialog and its companions, as plain Win32 windows.
#include <functional>
#include <string>

#include "crash/LogItem.h"
#include "crash/Options.h"

struct TDialogChoice {
    bool Kill = false;
    bool Send = false;
    bool Screenshot = false;
    bool Clipboard = false;
};

// Shows the report; `canSend` offers "Send an email to the program author".
// Remembers its place in "VesperLog.ini" beside the program. Raises
// Exception "Cannot show the DialogBox window." when it cannot be created.
TDialogChoice ShowReportDialog(const TVesperModuleOptions& options, const TLogItem& report, bool canSend);

// The "Request." dialog: the user's steps to reproduce the error.
std::string AskStepsToReproduce();

// Runs `work` on a thread of its own (TSMTPThread) while the
// "SMTP sending..." window shows its progress bar.
void RunWithSendingWindow(const std::function<void()>& work);

// The text on the clipboard, and the screen as PNG.
void CopyTextToClipboard(const std::string& text);
std::string CaptureScreenPng();
