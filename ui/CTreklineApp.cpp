#include "CTreklineApp.h"

#include <iostream>
#include <system_error>

#include "CStepLogDlg.h"
#include "DataHome.h"
#include "EntryDate.h"

// The command line was read in main(), so the default parsing is skipped.
bool CTreklineApp::OnInit() {
    PinLocalTimeZone();
    if (place_ == CommandLine::Place::kDataHome) {
        directory_ = DataHomeDirectory();
        startProblem_ = MakeDataHome(directory_);
        if (!startProblem_.empty())
            std::cerr << "trekline: " << startProblem_ << '\n';
    } else {
        std::error_code error;
        directory_ = std::filesystem::current_path(error);
    }
    return true;
}

int CTreklineApp::OnRun() {
    CStepLogDlg dialog(directory_);
    SetTopWindow(&dialog);
    dialog.ShowModal();
    SetTopWindow(nullptr);
    return 0;
}
