#include <iostream>
#include <span>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include "CTreklineApp.h"
#include "CommandLine.h"
#include "DailyGoal.h"
#include "FileCommands.h"
#include "Settings.h"
#include "SummaryCommand.h"

namespace {

// The daily goal the user last set in the window, so that the summary and
// the window agree. The settings are read through the toolkit's base, which
// wants a (console) application; the window is never started after this.
std::uint32_t RememberedDailyGoal() {
    const wxInitializer toolkitBase;
    return toolkitBase.IsOk() ? Settings().DailyGoal() : kDefaultDailyGoal;
}

} // namespace

// The command line is answered before the toolkit starts, so that the help,
// the version and a mistake in the options need no display.
int main(int argc, char** argv) {
    const std::span<const char* const> arguments(argv + (argc > 0 ? 1 : 0),
                                                 argc > 0 ? argc - 1 : 0);
    const CommandLine commandLine = ParseCommandLine(arguments);
    if (std::optional<int> status = AnswerWithoutWindow(commandLine, std::cout, std::cerr))
        return *status;
    // An import, an export or the summary needs no window either.
    if (std::optional<int> status = RunFileCommand(commandLine, std::cout, std::cerr))
        return *status;
    if (std::optional<int> status =
            RunSummaryCommand(commandLine, RememberedDailyGoal, std::cout, std::cerr))
        return *status;

    wxApp::SetInstance(new CTreklineApp(commandLine.place));
    // The toolkit's own complaints go to standard error: a message box is no
    // place for them, and without a display there could be none.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    // The options are read already; the toolkit gets the program's name only.
    int toolkitArgc = argc > 0 ? 1 : 0;
    return wxEntry(toolkitArgc, argv) == 0 ? 0 : 1;
}
