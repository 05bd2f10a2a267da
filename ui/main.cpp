#include <iostream>
#include <span>
#include <string>
#include <vector>

#include <wx/init.h>

#include "CommandLine.h"
#include "DailyGoal.h"
#include "FileCommands.h"
#include "ProgramStart.h"
#include "Settings.h"
#include "SummaryCommand.h"
#include "WindowStart.h"

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
    ConnectStandardStreams();
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::vector<const char*> options;
    for (std::size_t i = 1; i < arguments.size(); ++i)
        options.push_back(arguments[i].c_str());
    const CommandLine commandLine = ParseCommandLine(options);
    if (std::optional<int> status = AnswerWithoutWindow(commandLine, std::cout, std::cerr))
        return *status;
    // An import, an export or the summary needs no window either.
    if (std::optional<int> status = RunFileCommand(commandLine, std::cout, std::cerr))
        return *status;
    if (std::optional<int> status =
            RunSummaryCommand(commandLine, RememberedDailyGoal, std::cout, std::cerr))
        return *status;
    return StartWindow(commandLine, argc > 0 ? argv[0] : nullptr);
}
