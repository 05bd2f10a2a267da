#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "CommandLine.h"

namespace {

using Action = CommandLine::Action;
using Place = CommandLine::Place;

CommandLine Parse(const std::vector<const char*>& arguments) {
    return ParseCommandLine(arguments);
}

struct ParseCase {
    std::vector<const char*> arguments;
    Action action;
    Place place;
    const char* mistake;
};

} // namespace

TEST(CommandLineTest, ReadsEachOptionAndNamesEachMistake) {
    const ParseCase cases[] = {
        {{}, Action::kOpenWindow, Place::kCurrentDirectory, ""},
        {{"--data-home"}, Action::kOpenWindow, Place::kDataHome, ""},
        {{"--data-home", "--"}, Action::kOpenWindow, Place::kDataHome, ""},
        {{"--help"}, Action::kPrintHelp, Place::kCurrentDirectory, ""},
        {{"-h"}, Action::kPrintHelp, Place::kCurrentDirectory, ""},
        {{"--version"}, Action::kPrintVersion, Place::kCurrentDirectory, ""},
        // The help is the answer wherever it is asked for.
        {{"--help", "--version"}, Action::kPrintHelp, Place::kCurrentDirectory, ""},
        {{"--version", "--help"}, Action::kPrintHelp, Place::kCurrentDirectory, ""},
        {{"--fast"}, Action::kUsageError, Place::kCurrentDirectory, "unknown option '--fast'"},
        {{"-x"}, Action::kUsageError, Place::kCurrentDirectory, "unknown option '-x'"},
        {{"--help=all"},
         Action::kUsageError,
         Place::kCurrentDirectory,
         "option '--help' takes no value"},
        {{"data.steps"},
         Action::kUsageError,
         Place::kCurrentDirectory,
         "unexpected argument 'data.steps'"},
        {{"-"}, Action::kUsageError, Place::kCurrentDirectory, "unexpected argument '-'"},
        {{"--", "--help"},
         Action::kUsageError,
         Place::kCurrentDirectory,
         "unexpected argument '--help'"},
        {{"--import", "a.csv", "--data-home"}, Action::kImport, Place::kDataHome, ""},
        {{"--replace", "--import=a.csv"}, Action::kImport, Place::kCurrentDirectory, ""},
        {{"--export-csv", "-"}, Action::kExportCsv, Place::kCurrentDirectory, ""},
        {{"--import", "a.csv", "--help"}, Action::kPrintHelp, Place::kCurrentDirectory, ""},
        {{"--help", "--import", "a.csv"}, Action::kPrintHelp, Place::kCurrentDirectory, ""},
        {{"--import"},
         Action::kUsageError,
         Place::kCurrentDirectory,
         "option '--import' needs FILE"},
        {{"--import="},
         Action::kUsageError,
         Place::kCurrentDirectory,
         "option '--import' needs FILE"},
        {{"--replace"},
         Action::kUsageError,
         Place::kCurrentDirectory,
         "'--replace' goes with '--import'"},
        {{"--export-csv", "a", "--replace"},
         Action::kUsageError,
         Place::kCurrentDirectory,
         "'--replace' goes with '--import'"},
        {{"--import", "a", "--export-csv", "b"},
         Action::kUsageError,
         Place::kCurrentDirectory,
         "only one of '--import', '--export-csv' and '--summary' can be given"},
        {{"--goal", "4294967295", "--summary", "--json", "--as-of=2026-12-09"},
         Action::kSummary,
         Place::kCurrentDirectory,
         ""},
        {{"--summary", "--help"}, Action::kPrintHelp, Place::kCurrentDirectory, ""},
        // A mistake anywhere outweighs a help asked for before it.
        {{"--help", "--fast"},
         Action::kUsageError,
         Place::kCurrentDirectory,
         "unknown option '--fast'"},
    };
    for (const ParseCase& c : cases) {
        std::string line;
        for (const char* argument : c.arguments)
            line += std::string(argument) + " ";
        const CommandLine parsed = Parse(c.arguments);
        EXPECT_EQ(parsed.action, c.action) << line;
        EXPECT_EQ(parsed.place, c.place) << line;
        EXPECT_EQ(parsed.mistake, c.mistake) << line;
    }
}

TEST(CommandLineTest, AnswersTheHelpAndTheVersionOnOutputAndAMistakeOnErrors) {
    struct AnswerCase {
        std::vector<const char*> arguments;
        int status;
        std::vector<const char*> out; // what standard output holds, in part
        std::vector<const char*> err;
    };
    const AnswerCase cases[] = {
        {{"--help"},
         0,
         {"Usage: trekline", "--data-home", "--help", "--version", "XDG_DATA_HOME"},
         {}},
        {{"--version"}, 0, {"trekline " TREKLINE_VERSION "\n"}, {}},
        {{"--fast"},
         2,
         {},
         {"trekline: unknown option '--fast'\n", "Usage: trekline", "trekline --help"}},
    };
    for (const AnswerCase& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(AnswerWithoutWindow(Parse(c.arguments), out, err), c.status) << c.arguments[0];
        EXPECT_EQ(out.str().empty(), c.out.empty()) << c.arguments[0];
        EXPECT_EQ(err.str().empty(), c.err.empty()) << c.arguments[0];
        for (const char* part : c.out)
            EXPECT_NE(out.str().find(part), std::string::npos) << part;
        for (const char* part : c.err)
            EXPECT_NE(err.str().find(part), std::string::npos) << part;
    }
    std::ostringstream out, err;
    EXPECT_EQ(AnswerWithoutWindow(Parse({"--data-home"}), out, err), std::nullopt);
    EXPECT_EQ(out.str() + err.str(), "");
}

TEST(CommandLineTest, OutputThatCannotBeWrittenEndsWithStatusOne) {
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(AnswerWithoutWindow(Parse({"--version"}), out, err), 1);
}
