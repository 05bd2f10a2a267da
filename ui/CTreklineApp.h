#pragma once

#include <filesystem>
#include <string>

#include <wx/app.h>

#include "CommandLine.h"

// Runs the main dialog on the diary in the place the command line chose and
// ends the process when it ends, with status 0 whichever way it was closed.
class CTreklineApp : public wxApp {
public:
    explicit CTreklineApp(CommandLine::Place place) : place_(place) {}

    bool OnInit() override;
    int OnRun() override;

private:
    CommandLine::Place place_;
    std::filesystem::path directory_;
    // Why the diary's directory could not be made, for the dialog to show.
    std::string startProblem_;
};
