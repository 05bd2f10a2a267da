#include "WindowStart.h"

#include <wx/app.h>
#include <wx/log.h>

#include "CTreklineApp.h"

int StartWindow(const CommandLine& commandLine, char* programName) {
    wxApp::SetInstance(new CTreklineApp(commandLine.place));
    // The toolkit's own complaints go to standard error: a message box is no
    // place for them, and without a display there could be none.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    // The options are read already; the toolkit gets the program's name only.
    char* toolkitArgv[] = {programName, nullptr};
    int toolkitArgc = programName ? 1 : 0;
    return wxEntry(toolkitArgc, toolkitArgv) == 0 ? 0 : 1;
}
