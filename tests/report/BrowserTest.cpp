// The report page as a real browser shows it: the picture beside it loads and
// the table holds the rows, with no script error.
#include <array>
#include <cstdio>
#include <fstream>

#include <gtest/gtest.h>

#include "HtmlReport.h"
#include "StepReport.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

// Loads the page in a frame once it has run its scripts and reports what it
// shows in the probe's text.
constexpr const char* kProbe = R"(<html><body><pre id="result">pending</pre><script>
var frame = document.createElement('iframe');
frame.onload = function () {
  var page = frame.contentDocument;
  var picture = page.images[0];
  document.getElementById('result').textContent =
    'width=' + (picture ? picture.naturalWidth : -1) +
    ' height=' + (picture ? picture.naturalHeight : -1) +
    ' rows=' + page.querySelectorAll('table table tr').length +
    ' first=' + page.querySelector('table table td').textContent;
};
frame.src = 'out.html';
document.body.appendChild(frame);
</script></body></html>)";

std::string ReadCommandOutput(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer;
        while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
            output.append(buffer.data(), n);
        pclose(pipe);
    }
    return output;
}

} // namespace

TEST(BrowserTest, PageShowsThePictureAndEveryRowWithoutScriptErrors) {
#ifdef _WIN32
    GTEST_SKIP() << "the headless browser is the host's, and runs only on Linux";
#endif
    ScopedTempDir dir;
    ScopedTimeZone zone("UTC");
    ReportData data;
    for (int day : {1, 5, 11})
        data.entries.push_back(DiaryEntry(1000u * static_cast<std::uint32_t>(day), 2006, 3, day));
    data.maximum = 11000;
    SaveChartPicture(HereFiles(), data, false, kTrueColourBitsPerPixel);
    ASSERT_TRUE(WriteHtmlReportFile("out.html", data.entries, 100));
    std::ofstream("probe.html") << kProbe;

    std::string here = dir.Path().string();
    std::string output = ReadCommandOutput(
        "timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run "
        "--disable-background-networking --disable-component-update --disable-sync "
        "--user-data-dir='" +
        here +
        "/profile' --allow-file-access-from-files --enable-logging=stderr --v=0 "
        "--virtual-time-budget=5000 --dump-dom 'file://" +
        here + "/probe.html' 2>'" + here + "/console.txt'");
    EXPECT_NE(output.find("width=500 height=300 rows=3 first=2006 March 01"), std::string::npos)
        << output;

    std::ifstream console(dir.Path() / "console.txt");
    std::string line;
    while (std::getline(console, line))
        EXPECT_EQ(line.find("Uncaught"), std::string::npos) << line;
}
