#pragma once

#include <wx/app.h>

// Runs the main dialog and ends the process when it ends, with status 0
// whichever way it was closed.
class CTreklineApp : public wxApp {
public:
    bool OnInit() override;
    int OnRun() override;
};
