#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "DiaryFiles.h"

// How a command ended. A failure carries what the user is told, in their
// words and naming the file and the reason ("data.steps is read-only: the
// entry was not added."), and a line for standard error with the failing
// call and errno, for bug reports.
struct CommandOutcome {
    std::string notice; // empty when the command did what it was asked
    std::string log;

    bool Succeeded() const { return notice.empty(); }
    explicit operator bool() const { return Succeeded(); }
};

// The failure of `call` with that errno on one of the diary's files, which
// left `consequence` ("the entry was not added"). The reason is worded from
// the errno and from what the file and its directory allow now: a read-only
// file, a directory where nothing can be made, a full disk.
CommandOutcome FileFailure(const DiaryFiles& files, const std::filesystem::path& file, int error,
                           std::string_view call, std::string_view consequence);

// The failure to show `document` (the report's page or the help page): the
// handler could not be started (errno `startError`) or ended with a status
// other than 0.
CommandOutcome OpenFailure(const DiaryFiles& files, const std::filesystem::path& document,
                           int startError, int exitStatus);

// A diary larger than anyone's could be (more than its most records), which
// is therefore not read, with that `consequence`.
CommandOutcome TooLargeFailure(const DiaryFiles& files, std::string_view consequence);

// A change refused before writing because the diary would then hold more
// than its most records, which Trekline could not open any more.
CommandOutcome OverflowFailure(const DiaryFiles& files, std::string_view consequence);

// The exception being handled, which left `consequence`: running out of
// memory, or anything else a command threw. Called from a catch block only.
CommandOutcome ExceptionFailure(std::string_view consequence);
