#include "CTreklineApp.h"

#include "CStepLogDlg.h"
#include "EntryDate.h"

// The program takes no command line, so the default parsing is skipped.
bool CTreklineApp::OnInit() {
    PinLocalTimeZone();
    return true;
}

int CTreklineApp::OnRun() {
    CStepLogDlg dialog;
    SetTopWindow(&dialog);
    dialog.ShowModal();
    SetTopWindow(nullptr);
    return 0;
}
