#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

// What the program was asked to do on its command line. It is read before any
// window exists, so that the answers that need no window (the help, the
// version, a mistake in the options) come without a display and touch no file.
struct CommandLine {
    enum class Action {
        kOpenWindow,
        kPrintHelp,
        kPrintVersion,
        kUsageError,
        kExportCsv, // the diary as CSV to `file` ("-": standard output)
        kImport,    // `file` into the diary
        kSummary,   // the diary's figures (StepFigures), read only
    };
    // Where the diary and the report are kept.
    enum class Place {
        kCurrentDirectory,
        kDataHome, // $XDG_DATA_HOME/trekline, for a start from the desktop menu
    };

    Action action = Action::kOpenWindow;
    Place place = Place::kCurrentDirectory;
    std::string file;
    // For kImport: conflicting dates take the file's entries.
    bool replace = false;
    // For kSummary: the date the figures are as of (none: today), the daily
    // goal (none: the one the user's settings keep) and whether they are
    // printed as JSON for other programs rather than as lines for a person.
    std::optional<std::chrono::year_month_day> asOf;
    std::optional<std::uint32_t> goal;
    bool json = false;
    // For kUsageError: what was wrong, e.g. "unknown option '--fast'".
    std::string mistake;
};

// Reads the arguments after the program's name. Options may come in any order
// and an option's value either after '=' or as the next argument; "--" ends
// the options.
CommandLine ParseCommandLine(std::span<const char* const> arguments);

// Prints what a command line that needs no window asks for and returns the
// exit status: 0 for the help and the version on `out`, 2 for a mistake with a
// short usage on `err`. Nothing for a command line that opens the window.
std::optional<int> AnswerWithoutWindow(const CommandLine& commandLine, std::ostream& out,
                                       std::ostream& err);
