#include "CommandOutcome.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <new>

#include "DocumentOpener.h"
#include "UserPaths.h"

namespace {

std::string Reason(const DiaryFiles& files, const std::filesystem::path& file, int error) {
    const std::string name = file.filename().string();
    const std::filesystem::path directory = files.directory.empty() ? "." : files.directory;
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOENT:
        // A file that is there but may not be read or changed is the file's
        // doing; a missing one that cannot be made, the directory's.
        if (const PathAccess access = AccessOf(file); access.exists && !access.readable)
            return name + " may not be read";
        else if (access.exists && !access.writable)
            return name + " is read-only";
        if (const PathAccess access = AccessOf(directory); !access.exists)
            return "The directory " + directory.string() + " does not exist";
        else if (!access.writable)
            return "The directory " + directory.string() + " is read-only";
        if (error != ENOENT)
            return name + " is read-only";
        break;
    case ENOSPC:
#ifdef EDQUOT // Windows tells a full quota as a full disk
    case EDQUOT:
#endif
    case EFBIG:
        return "There is no room on the disk for " + name;
    default:
        break;
    }
    if (error == 0)
        return name + " could not be changed";
    return name + " could not be changed (" + std::strerror(error) + ")";
}

} // namespace

CommandOutcome FileFailure(const DiaryFiles& files, const std::filesystem::path& file, int error,
                           std::string_view call, std::string_view consequence) {
    CommandOutcome outcome;
    outcome.notice = Reason(files, file, error) + ": " + std::string(consequence) + ".";
    outcome.log = std::string(call) + " " + file.string() + ": " +
                  (error ? std::strerror(error) : "no error code") + " (errno " +
                  std::to_string(error) + ")";
    return outcome;
}

CommandOutcome OpenFailure(const DiaryFiles& files, const std::filesystem::path& document,
                           int startError, int exitStatus) {
    // xdg-open ends with 3 when it finds no program for the document.
    constexpr int kNoProgramFound = 3;
    const bool isPage = document == files.page;
    const std::string what = isPage ? document.filename().string() : "the help page";
    const std::string where = isPage ? "the report is saved in " + document.parent_path().string()
                                     : "it is " + document.string();
    CommandOutcome outcome;
    if (startError != 0 || exitStatus == kNoProgramFound) {
        outcome.notice = "No program to open " + what + " was found: " + where + ".";
    } else {
        outcome.notice = "The program that opens " + what + " failed (" + kDefaultHandlerCall +
                         " ended with status " + std::to_string(exitStatus) + "): " + where + ".";
    }
    const std::string call = std::string(kDefaultHandlerCall) + " " + document.string();
    outcome.log = startError != 0 ? "starting " + call + ": " + std::strerror(startError) +
                                        " (errno " + std::to_string(startError) + ")"
                                  : call + " ended with status " + std::to_string(exitStatus);
    return outcome;
}

CommandOutcome TooLargeFailure(const DiaryFiles& files, std::string_view consequence) {
    const std::string name = files.steps.filename().string();
    return {name + " is too large to be a diary: " + std::string(consequence) + ".",
            "reading " + files.steps.string() + ": more than " + std::to_string(files.mostRecords) +
                " records"};
}

CommandOutcome OverflowFailure(const DiaryFiles& files, std::string_view consequence) {
    const std::string most = std::to_string(files.mostRecords);
    return {files.steps.filename().string() + " would hold more than " + most +
                " entries, the most a diary can hold: " + std::string(consequence) + ".",
            "writing " + files.steps.string() + ": the change would pass " + most + " records"};
}

CommandOutcome ExceptionFailure(std::string_view consequence) {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return {"There is not enough memory: " + std::string(consequence) + ".",
                "out of memory (std::bad_alloc)"};
    } catch (const std::exception& exception) {
        return {"Something went wrong: " + std::string(consequence) + ".",
                std::string("exception: ") + exception.what()};
    } catch (...) {
        return {"Something went wrong: " + std::string(consequence) + ".", "unknown exception"};
    }
}
