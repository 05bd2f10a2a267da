#include "CTreklineApp.h"

#include <clocale>
#include <exception>
#include <iostream>

#include <wx/uilocale.h>

#include "CStepLogDlg.h"
#include "DataHome.h"
#include "EntryDate.h"
#include "LocalClock.h"

// The command line was read in main(), so the default parsing is skipped.
bool CTreklineApp::OnInit() {
    PinLocalTimeZone();
    // The date picker and its calendar show and read dates the user's way.
    // The files do not follow: they are written in the C locale's terms
    // throughout, and C's numbers keep anything formatted with printf so too.
    wxUILocale::UseDefault();
    std::setlocale(LC_NUMERIC, "C");
    const DiaryDirectory directory = FindDiaryDirectory(place_ == CommandLine::Place::kDataHome);
    directory_ = directory.path;
    startProblem_ = directory.problem;
    return true;
}

int CTreklineApp::OnRun() {
    // The commands catch what they throw; this is for the toolkit's own,
    // which would otherwise end the program as an unknown exception.
    try {
        CStepLogDlg dialog(directory_);
        if (!startProblem_.empty())
            dialog.Tell(
                {startProblem_ + ": the diary cannot be kept.", "data home: " + startProblem_});
        SetTopWindow(&dialog);
        dialog.ShowModal();
        SetTopWindow(nullptr);
        return 0;
    } catch (const std::exception& exception) {
        std::cerr << "trekline: " << exception.what() << '\n';
    }
    SetTopWindow(nullptr);
    return 1;
}
