#include "HtmlReport.h"

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

#include "BitmapFile.h"
#include "Canvas.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace fs = std::filesystem;

namespace {

std::string Row(const std::string& date, const std::string& distance) {
    return "<tr><td bgcolor='#FFFFFF' align='center' valign='center' width='400'><font "
           "face=\"Courier New,Verdana,Sans Serif\" size=\"3\">" +
           date +
           "</font></td><td bgcolor='#FFFFFF' align='center' valign='center' width='20'><font "
           "face=\"Courier New,Verdana,Sans Serif\" size=\"5\">-</font></td><td "
           "bgcolor='#FFFFFF' align='center' valign='center' width='80'><font face=\"Courier "
           "New,Verdana,Sans Serif\" size=\"3\">" +
           distance + "m.</font></td></tr>";
}

// The dates of the rows, in page order.
std::vector<std::string> RowDates(const std::string& page) {
    std::vector<std::string> dates;
    const std::string open = "size=\"3\">";
    for (std::size_t at = page.find(open); at != std::string::npos; at = page.find(open, at)) {
        at += open.size();
        dates.push_back(page.substr(at, page.find('<', at) - at));
        at = page.find(open, at) + open.size(); // skip the distance cell
    }
    return dates;
}

} // namespace

TEST(HtmlReportTest, SingleRowPageIsExact) {
    ScopedTimeZone zone("Europe/Berlin");
    std::string page = FormatHtmlReport({DiaryEntry(8000, 2006, 3, 5)}, 100);
    EXPECT_EQ(page.size(), 1789u);
    EXPECT_EQ(page.find_first_of("\r\n"), std::string::npos);
    EXPECT_TRUE(page.starts_with("<html><head><title>Steps</title><script type='text/javascript' "
                                 "LANGUAGE='JavaScript'>var marqtimer;"));
    EXPECT_NE(page.find("<img src='data_steps.bmp' alt='steps'>"), std::string::npos);
    EXPECT_TRUE(page.ends_with(
        "<tr><td bgcolor='#FFFFFF' align='center' valign='center'><br /><font face=\"Courier "
        "New,Verdana,Sans Serif\" size=\"4\"><b>Distance walked each day:</b></font><br /><br "
        "/><table>" +
        Row("2006 March 05", "8000.00") + "</table></td></tr></table></center></body></html>"));
}

TEST(HtmlReportTest, DistanceIsStepsTimesStepLengthInMetres) {
    auto rowFor = [](std::uint32_t steps, std::uint32_t length) {
        return FormatHtmlReport({DiaryEntry(steps, 2006, 3, 5)}, length);
    };
    EXPECT_NE(rowFor(10000, 75).find("7500.00m."), std::string::npos);
    EXPECT_NE(rowFor(10000, 0).find(">0.00m."), std::string::npos);
    EXPECT_NE(rowFor(1, 33).find(">0.33m."), std::string::npos);
    EXPECT_NE(rowFor(4294967294u, 4294967295u).find(">184467440608246496.00m."), std::string::npos);
}

TEST(HtmlReportTest, RowsFollowTheGivenOrderWithTrueDatesInEveryZone) {
#ifdef _WIN32
    // The Windows C runtime reads no zone names from TZ: UTC alone there.
    const char* const zones[] = {"UTC"};
#else
    const char* const zones[] = {"Asia/Tokyo", "America/Los_Angeles", "UTC"};
#endif
    for (const char* tz : zones) {
        ScopedTimeZone zone(tz);
        std::string page = FormatHtmlReport({DiaryEntry(1, 1965, 7, 4), DiaryEntry(2, 2006, 3, 5),
                                             DiaryEntry(3, 2006, 3, 5), DiaryEntry(4, 2040, 2, 29)},
                                            100);
        EXPECT_EQ(RowDates(page), (std::vector<std::string>{"1965 July 04", "2006 March 05",
                                                            "2006 March 05", "2040 February 29"}))
            << tz;
    }
}

TEST(HtmlReportTest, UndatableEntriesShowTheStartOfCalendarTime) {
#ifdef _WIN32
    GTEST_SKIP() << kNoZoneRules;
#endif
    {
        ScopedTimeZone east("Asia/Tokyo");
        EXPECT_EQ(RowDates(FormatHtmlReport({DiaryEntry(1, 1200, 1, 1)}, 100)),
                  std::vector<std::string>{"1970 January 01"});
    }
    {
        ScopedTimeZone west("America/New_York");
        EXPECT_EQ(RowDates(FormatHtmlReport({DiaryEntry(1, 1200, 1, 1)}, 100)),
                  std::vector<std::string>{"1969 December 31"});
    }
}

TEST(HtmlReportTest, APageThatCannotBeWrittenLeavesThePreviousOne) {
    ScopedTempDir dir;
    ASSERT_TRUE(WriteHtmlReportFile("out.html", {DiaryEntry(1, 2006, 3, 5)}, 100));
    std::vector<unsigned char> previous = ReadFileBytes("out.html");
    ASSERT_EQ(previous.size(), 1786u);

    // A file size limit fails the write the way a full disk does, even for
    // root; Windows has no such limit.
#ifndef _WIN32
    bool written = true;
    {
        ScopedFileSizeLimit full(1000);
        written = WriteHtmlReportFile("out.html", {DiaryEntry(8000, 2006, 3, 5)}, 100).IsOk();
    }

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFileBytes("out.html"), previous);
    EXPECT_EQ(DirectoryNames(), std::vector<std::string>{"out.html"})
        << "no scratch file is left behind";
#endif

    EXPECT_FALSE(WriteHtmlReportFile("missing-dir/out.html", {DiaryEntry(1, 2006, 3, 5)}, 100));
}

// What the report command words its notice from: the failing call and the
// system's error code, for both files the report writes.
TEST(ReportFileStatusTest, AFailedWriteSaysWhichCallFailedAndWhy) {
    ScopedTempDir dir;
    struct Case {
        const char* what;
        FileStatus status;
        int error;
    };
    const Case cases[] = {
        {"the page in a missing directory",
         WriteHtmlReportFile("missing-dir/out.html", {DiaryEntry(1, 2006, 3, 5)}, 100), ENOENT},
        {"the picture in a missing directory",
         WriteBitmapFile("missing-dir/data_steps.bmp", Canvas(500, 300, 32)), ENOENT},
        {"a picture of no rows", WriteBitmapFile("data_steps.bmp", Canvas(500, 0, 32)), EINVAL},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.status) << c.what;
        EXPECT_EQ(c.status.Error(), c.error) << c.what << ": " << c.status.Describe();
        EXPECT_FALSE(c.status.Call().empty()) << c.what;
    }
}
