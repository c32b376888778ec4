// Program entry: the application object, the main window, the message loop.
#include <windows.h>

#include "app/FMain.h"
#include "app/StartupTimes.h"
#include "crash/ExceptionLog.h"
#include "skin/form/vlFormAccess.h"
#include "toolkit/Forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    StartupMark("entry");
    TApplication application;
    Application->Initialize();
    StartupMark("common controls");
    vlInstallAccessibility();
    Application->CreateForm(frmMain);
    StartupMark("main window made");
    // A failure report first keeps the plan's unsaved changes.
    SetBeforeReportDialog([] { TfrmMain::RescueUnsavedPlan(); });
    Application->Run();
    WriteStartupTimes();
    return 0;
}
