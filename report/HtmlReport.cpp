#include "HtmlReport.h"

#include <charconv>
#include <cstring>

#include "EntryDate.h"
#include "ReplacementFile.h"

namespace {

// The page is one line of fixed text around the rows; browsers have shown it
// this way for years, so every character stays as it is.
constexpr std::string_view kPageStart =
    R"(<html><head><title>Steps</title>)"
    R"(<script type='text/javascript' LANGUAGE='JavaScript'>var marqtimer;var cindex = 0;var text = "Trekline:";function runCMarq(){if (cindex<=text.length){var dtxt = text.substring(0, cindex)+"<font color='#000000'>"+text.charAt(cindex)+"</font>"+text.substring(cindex+1);document.getElementById("cmarque").innerHTML = dtxt;marqtimer = window.setTimeout("runCMarq();", 120);}else{cindex = 0;marqtimer = window.setTimeout("runCMarq();", 2000);}cindex++;}</script>)"
    R"(<SCRIPT type="text/javascript" LANGUAGE="JavaScript">function init(){runCMarq();}window.onload = init;window.onunload = new Function("clearTimeout(marqtimer);");</SCRIPT></head>)"
    R"(<body bgcolor='#F5F5F5'><center><table bgcolor='#5F5F5F' border='0' cellpadding='1' cellspacing='1' width='500'>)"
    R"(<tr><td bgcolor='#FFFFFF' align='center' valign='center'><br /><b><font face="Courier New,Verdana,Sans Serif" size="5" color='#FF0000' id='cmarque'>Trekline:</font></b><br /><br /></td></tr>)"
    R"(<tr><td bgcolor='#FFFFFF' align='center' valign='center'><img src='data_steps.bmp' alt='steps'></td></tr>)"
    R"(<tr><td bgcolor='#FFFFFF' align='center' valign='center'><br /></td></tr>)"
    R"(<tr><td bgcolor='#FFFFFF' align='center' valign='center'>)"
    R"(<br /><font face="Courier New,Verdana,Sans Serif" size="4"><b>Distance walked each day:</b></font><br /><br /><table>)";

constexpr std::string_view kRowStart =
    R"(<tr><td bgcolor='#FFFFFF' align='center' valign='center' width='400'><font face="Courier New,Verdana,Sans Serif" size="3">)";
constexpr std::string_view kRowMiddle =
    R"(</font></td><td bgcolor='#FFFFFF' align='center' valign='center' width='20'><font face="Courier New,Verdana,Sans Serif" size="5">-</font></td><td bgcolor='#FFFFFF' align='center' valign='center' width='80'><font face="Courier New,Verdana,Sans Serif" size="3">)";
constexpr std::string_view kRowEnd = R"(m.</font></td></tr>)";

constexpr std::string_view kPageEnd = "</table></td></tr></table></center></body></html>";

// Two decimals whatever the process locale, as "%3.2f" prints in the C locale.
void AppendDistance(std::string& page, double metres) {
    char text[64];
    auto [end, error] =
        std::to_chars(text, text + sizeof text, metres, std::chars_format::fixed, 2);
    page.append(text, error == std::errc() ? end : text);
}

// Hands the page to `write` a megabyte at a time: a page of decades of
// entries is never held whole, and its write calls cost nothing beside its
// bytes (at 64 KiB their calls added a fifth to writing the page).
template <typename Write>
void GenerateHtmlReport(const std::vector<StepRecord>& entries, std::uint32_t stepLength,
                        Write write) {
    constexpr std::size_t kPieceSize = 1024 * 1024;
    const double metresPerStep = static_cast<double>(stepLength) * 0.01;
    std::string piece(kPageStart);
    for (const StepRecord& entry : entries) {
        piece += kRowStart;
        piece += FormatEntryDate(entry, "%Y %B %d");
        piece += kRowMiddle;
        AppendDistance(piece, static_cast<double>(entry.steps) * metresPerStep);
        piece += kRowEnd;
        if (piece.size() >= kPieceSize) {
            write(piece);
            piece.clear();
        }
    }
    piece += kPageEnd;
    write(piece);
}

} // namespace

std::string FormatHtmlReport(const std::vector<StepRecord>& entries, std::uint32_t stepLength) {
    std::string page;
    GenerateHtmlReport(entries, stepLength, [&page](const std::string& piece) { page += piece; });
    return page;
}

FileStatus WriteHtmlReportFile(const std::filesystem::path& path,
                               const std::vector<StepRecord>& entries, std::uint32_t stepLength) {
    ReplacementFile file(path);
    bool written = true;
    GenerateHtmlReport(entries, stepLength, [&](const std::string& piece) {
        written = written &&
                  file.Write({reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()});
    });
    return written ? file.Commit() : file.Status();
}
