#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include <string>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "CommandOutcome.h"
#include "DiaryCommands.h"
#include "DocumentOpener.h"
#include "ReportCommand.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace fs = std::filesystem;

TEST(CommandOutcomeTest, AFileFailureNamesTheFileAndTheReasonAndLogsTheCall) {
    ScopedTempDir dir;
    WriteFileBytes("data.steps", {});
    const DiaryFiles here = DiaryFilesIn(dir.Path());
    const DiaryFiles gone = DiaryFilesIn(dir.Path() / "gone");
    struct Case {
        const DiaryFiles& files;
        int error;
        std::string notice;
    };
    const Case cases[] = {
        {here, ENOSPC, "There is no room on the disk for data.steps: the entry was not added."},
#ifdef EDQUOT // Windows has no quota error of its own
        {here, EDQUOT, "There is no room on the disk for data.steps: the entry was not added."},
#endif
        {here, EIO,
         "data.steps could not be changed (Input/output error): the entry was not "
         "added."},
        {here, 0, "data.steps could not be changed: the entry was not added."},
        {gone, ENOENT,
         "The directory " + (dir.Path() / "gone").string() +
             " does not exist: the entry was not added."},
    };
    for (const Case& c : cases) {
        const CommandOutcome outcome =
            FileFailure(c.files, c.files.steps, c.error, "appending to", "the entry was not added");
        EXPECT_FALSE(outcome.Succeeded());
        EXPECT_EQ(outcome.notice, c.notice) << c.error;
        EXPECT_EQ(outcome.log.rfind("appending to " + c.files.steps.string() + ": ", 0), 0u)
            << outcome.log;
        EXPECT_NE(outcome.log.find("(errno " + std::to_string(c.error) + ")"), std::string::npos)
            << outcome.log;
    }
}

TEST(CommandOutcomeTest, ADocumentNobodyOpensIsNamedWithWhereItIs) {
    const DiaryFiles files = DiaryFilesIn("/home/walker/diary");
    const fs::path help = "/usr/share/trekline/help/index.html";
    struct Case {
        fs::path document;
        int startError;
        int status;
        std::string notice;
    };
    const std::string handler = kDefaultHandlerCall;
    const Case cases[] = {
        {files.page, ENOENT, 0,
         "No program to open out.html was found: the report is saved in /home/walker/diary."},
        {files.page, 0, 3,
         "No program to open out.html was found: the report is saved in /home/walker/diary."},
        {files.page, 0, 4,
         "The program that opens out.html failed (" + handler +
             " ended with status 4): the report is saved in /home/walker/diary."},
        {help, ENOENT, 0,
         "No program to open the help page was found: it is "
         "/usr/share/trekline/help/index.html."},
        {help, 0, 137,
         "The program that opens the help page failed (" + handler +
             " ended with status 137): it is /usr/share/trekline/help/index.html."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpenFailure(files, c.document, c.startError, c.status).notice, c.notice);
}

TEST(CommandOutcomeTest, AReportThatCannotBeMadeSaysWhyAndReplacesNothing) {
    ScopedTempDir dir;
    const DiaryFiles files = DiaryFilesIn(dir.Path());
    EXPECT_EQ(SaveReport(files, {}, 100, false, 32).notice,
              "The diary is empty: there is nothing to report.");

    WriteDiary({DiaryEntry(950, 2006, 4, 3, 1, 1), DiaryEntry(900, 2006, 4, 5, 2, 3)});
    EXPECT_EQ(SaveReport(files, {7}, 100, false, 32).notice,
              "The listed entries are no longer in data.steps: no report was made.");

    const std::vector<unsigned char> oldPicture{'B', 'M'}, oldPage{'<', 'p', '>'};
    WriteFileBytes("data_steps.bmp", oldPicture);
    WriteFileBytes("out.html", oldPage);
    // A full disk is a file size limit, which Windows has not.
#ifndef _WIN32
    CommandOutcome outcome;
    {
        ScopedFileSizeLimit full(1000);
        outcome = SaveReport(files, {1, 2}, 100, false, 32);
    }
    EXPECT_EQ(outcome.notice,
              "There is no room on the disk for data_steps.bmp: no report was made.");
    // The page is not written beside a picture that is not its own.
    EXPECT_EQ(ReadFileBytes("data_steps.bmp"), oldPicture);
    EXPECT_EQ(ReadFileBytes("out.html"), oldPage);
#endif

    EXPECT_TRUE(SaveReport(files, {1, 2}, 100, false, 32).Succeeded());
    EXPECT_NE(ReadFileBytes("out.html"), oldPage);
}

// A diary its user may not even read is not called read-only. Root reads
// every file, so the diary is read by an unprivileged child.
TEST(CommandOutcomeTest, ADiaryThatMayNotBeReadIsNotCalledReadOnly) {
#ifdef _WIN32
    GTEST_SKIP() << "needs POSIX permission bits and a forked child as another user";
#else
    ScopedTempDir dir;
    WriteFileBytes("data.steps", {});
    fs::permissions("data.steps", fs::perms::none);
    fs::permissions(dir.Path(), fs::perms::all);
    int told[2];
    ASSERT_EQ(pipe(told), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr gid_t kNobody = 65534;
        if ((geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)))
            _exit(2);
        CommandOutcome why;
        LoadEntryRecords(HereFiles(), &why);
        const bool written = write(told[1], why.notice.data(), why.notice.size()) ==
                             static_cast<ssize_t>(why.notice.size());
        _exit(written ? 0 : 3);
    }
    close(told[1]);
    std::string notice;
    char buffer[256];
    for (ssize_t got; (got = read(told[0], buffer, sizeof buffer)) > 0;)
        notice.append(buffer, static_cast<std::size_t>(got));
    close(told[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(notice, "data.steps may not be read: the diary can be neither shown nor kept.");
#endif
}
