#include "CommandLine.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <string_view>
#include <utility>

#include "DailyGoal.h"
#include "EditText.h"

namespace {

constexpr int kUsageErrorStatus = 2;

using Action = CommandLine::Action;

struct Option {
    std::string_view name;      // "--name"
    std::string_view shortName; // "-n", or empty
    std::string_view valueName; // shown in the help; empty for an option without a value
    std::string_view help;
    // What the option asks the run to do; kOpenWindow for one that only
    // changes how another action is done.
    Action action;
    // Takes the option's value into the line; a value it cannot take is
    // worded in `mistake`.
    void (*apply)(CommandLine& commandLine, std::string_view value);
};

void TakeNothing(CommandLine&, std::string_view) {}

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

// Every option the program knows; the help is made from this table, so an
// option added here is explained there too.
constexpr std::array kOptions{
    Option{"--data-home", "", "",
           "keep the diary and the report in $XDG_DATA_HOME/trekline\n"
           "(~/.local/share/trekline by default), as the desktop menu does",
           Action::kOpenWindow,
           [](CommandLine& line, std::string_view) { line.place = CommandLine::Place::kDataHome; }},
    Option{"--export-csv", "", "FILE",
           "write the diary as CSV (date,steps) to FILE, or to standard\n"
           "output when FILE is -, and exit",
           Action::kExportCsv, [](CommandLine& line, std::string_view file) { line.file = file; }},
    Option{"--import", "", "FILE",
           "import the step counts of FILE into the diary and exit: a CSV\n"
           "file with date and steps columns, or an Apple Health, Google Fit,\n"
           "Samsung Health, Fitbit, Gadgetbridge or Garmin Connect export;\n"
           "a date the diary has other counts for keeps the diary's",
           Action::kImport, [](CommandLine& line, std::string_view file) { line.file = file; }},
    Option{"--replace", "", "",
           "with --import: a date the diary has other counts for takes the\n"
           "file's instead",
           Action::kOpenWindow, [](CommandLine& line, std::string_view) { line.replace = true; }},
    Option{"--summary", "", "",
           "print how many steps were walked today, this week, month and\n"
           "year and in the last 7 and 30 days, the best day and the runs\n"
           "of days that met the daily goal, and exit",
           Action::kSummary, TakeNothing},
    Option{"--as-of", "", "DATE",
           "with --summary: the figures as they were on DATE (YYYY-MM-DD)\n"
           "rather than today; later entries do not count",
           Action::kOpenWindow,
           [](CommandLine& line, std::string_view date) {
               line.asOf = ParseIsoDateText(date);
               if (!line.asOf)
                   line.mistake = Quoted(date) + " is not a date: '--as-of' takes YYYY-MM-DD";
           }},
    Option{"--goal", "", "STEPS",
           "with --summary: a daily goal of STEPS (1 to 4294967295) rather\n"
           "than the one set in the window (10000 at first)",
           Action::kOpenWindow,
           [](CommandLine& line, std::string_view steps) {
               line.goal = ParseDailyGoal(steps);
               if (!line.goal)
                   line.mistake = Quoted(steps) +
                                  " is no daily goal: '--goal' takes a whole number of steps "
                                  "from 1 to 4294967295";
           }},
    Option{"--json", "", "", "with --summary: print the figures as one JSON object",
           Action::kOpenWindow, [](CommandLine& line, std::string_view) { line.json = true; }},
    Option{"--help", "-h", "", "print this help and exit", Action::kPrintHelp, TakeNothing},
    Option{"--version", "", "", "print the version and exit", Action::kPrintVersion, TakeNothing},
};

const Option* FindOption(std::string_view name) {
    auto found = std::find_if(kOptions.begin(), kOptions.end(), [&](const Option& option) {
        return option.name == name || (!option.shortName.empty() && option.shortName == name);
    });
    return found == kOptions.end() ? nullptr : &*found;
}

CommandLine Mistake(std::string mistake) {
    CommandLine line;
    line.action = CommandLine::Action::kUsageError;
    line.mistake = std::move(mistake);
    return line;
}

void PrintUsageLine(std::ostream& stream) {
    stream << "Usage: trekline";
    for (const Option& option : kOptions) {
        stream << " [" << option.name;
        if (!option.valueName.empty())
            stream << ' ' << option.valueName;
        stream << ']';
    }
    stream << '\n';
}

void PrintHelp(std::ostream& out) {
    PrintUsageLine(out);
    out << "Keeps a diary of daily step counts and charts the distance walked.\n"
           "Without options it opens its window on the diary in the current directory.\n\n";
    constexpr std::size_t kHelpColumn = 18;
    for (const Option& option : kOptions) {
        std::string names = "  ";
        if (!option.shortName.empty())
            names += std::string(option.shortName) + ", ";
        names += option.name;
        if (!option.valueName.empty())
            names += " " + std::string(option.valueName);
        names.resize(std::max(names.size() + 2, kHelpColumn), ' ');
        out << names;
        for (char c : option.help) {
            out << c;
            if (c == '\n')
                out << std::string(std::max(names.size(), kHelpColumn), ' ');
        }
        out << '\n';
    }
    out << "\nExit status: 0 when done (an import that rejected some rows included), 1 when\n"
           "it could not be done, 2 for a mistake in the options.\n"
           "\nFiles: data.steps (the diary), data_steps.bmp and out.html (the last report).\n"
           "See trekline(1) and the help page for more.\n";
}

} // namespace

CommandLine ParseCommandLine(std::span<const char* const> arguments) {
    CommandLine line;
    // One command a run: an import, an export or the summary.
    std::optional<Action> command;
    bool help = false;
    bool version = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--") {
            // Whatever follows would be a file name, and no command takes one yet.
            if (i + 1 < arguments.size())
                return Mistake("unexpected argument " + Quoted(arguments[i + 1]));
            break;
        }
        if (!argument.starts_with("-") || argument == "-")
            return Mistake("unexpected argument " + Quoted(argument));
        const std::size_t equals = argument.starts_with("--") ? argument.find('=') : argument.npos;
        const std::string_view name = argument.substr(0, equals);
        const Option* option = FindOption(name);
        if (!option)
            return Mistake("unknown option " + Quoted(name));
        std::string_view value;
        if (option->valueName.empty()) {
            if (equals != argument.npos)
                return Mistake("option " + Quoted(name) + " takes no value");
        } else if (equals != argument.npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return Mistake("option " + Quoted(name) + " needs " + std::string(option->valueName));
        }
        if (!option->valueName.empty() && value.empty())
            return Mistake("option " + Quoted(name) + " needs " + std::string(option->valueName));
        option->apply(line, value);
        if (!line.mistake.empty())
            return Mistake(std::move(line.mistake));
        switch (option->action) {
        case Action::kOpenWindow:
            break;
        case Action::kPrintHelp:
            help = true;
            break;
        case Action::kPrintVersion:
            version = true;
            break;
        default:
            if (command)
                return Mistake(
                    "only one of '--import', '--export-csv' and '--summary' can be given");
            command = option->action;
            break;
        }
    }
    if (line.replace && command != Action::kImport)
        return Mistake("'--replace' goes with '--import'");
    for (const auto& [given, name] :
         {std::pair{line.asOf.has_value(), "'--as-of'"},
          std::pair{line.goal.has_value(), "'--goal'"}, std::pair{line.json, "'--json'"}})
        if (given && command != Action::kSummary)
            return Mistake(std::string(name) + " goes with '--summary'");
    // The help and the version, asked for anywhere on the line, are answered
    // instead of the command; the help is the better answer of the two.
    line.action = help      ? Action::kPrintHelp
                  : version ? Action::kPrintVersion
                            : command.value_or(Action::kOpenWindow);
    return line;
}

std::optional<int> AnswerWithoutWindow(const CommandLine& commandLine, std::ostream& out,
                                       std::ostream& err) {
    switch (commandLine.action) {
    case CommandLine::Action::kOpenWindow:
    case CommandLine::Action::kExportCsv:
    case CommandLine::Action::kImport:
    case CommandLine::Action::kSummary:
        return std::nullopt;
    case CommandLine::Action::kPrintHelp:
        PrintHelp(out);
        out.flush();
        return out ? 0 : 1;
    case CommandLine::Action::kPrintVersion:
        out << "trekline " << TREKLINE_VERSION << '\n';
        out.flush();
        return out ? 0 : 1;
    case CommandLine::Action::kUsageError:
        break;
    }
    err << "trekline: " << commandLine.mistake << '\n';
    PrintUsageLine(err);
    err << "Try 'trekline --help' for more information.\n";
    return kUsageErrorStatus;
}
