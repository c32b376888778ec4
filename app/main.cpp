// Program entry: the application object, the main window, the message loop.
#include <windows.h>

#include "app/FMain.h"
#include "crash/ExceptionLog.h"
#include "skin/form/vlFormAccess.h"
#include "toolkit/Forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TApplication application;
    Application->Initialize();
    vlInstallAccessibility();
    Application->CreateForm(frmMain);
    // A failure report first keeps the plan's unsaved changes.
    SetBeforeReportDialog([] { TfrmMain::RescueUnsavedPlan(); });
    Application->Run();
    return 0;
}
