// Any bytes as "data.steps": list, find, delete, append and draw the report,
// and check each result against what the file's layout says it must be.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "CStepFile.h"
#include "Canvas.h"
#include "DiaryCommands.h"
#include "EditText.h"
#include "EntryDate.h"
#include "FuzzHarness.h"
#include "HtmlReport.h"
#include "LabelFont.h"
#include "ShownDiary.h"
#include "StepChart.h"
#include "StepReport.h"

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {

// The diary's files in the directory the fuzzer works in.
const DiaryFiles& Here() {
    static const DiaryFiles files = DiaryFilesIn({});
    return files;
}

const LabelFont* g_font = nullptr;

Bytes ReadBytes(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const char* name, const Bytes& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A record the file holds and where it starts.
struct Stored {
    StepRecord record;
    std::size_t offset;
};

StepRecord RecordAt(const Bytes& bytes, std::size_t offset) {
    return DecodeStepRecord(&bytes[offset]);
}

// Any date of a year a record holds, with no time of day: every record the
// program writes.
bool Storable(const StepRecord& r) {
    using namespace std::chrono;
    return r.steps != kEndMarker && r.year <= 30827 && r.hour == 0 && r.minute == 0 &&
           r.second == 0 && r.milliseconds == 0 && r.month <= 12 && r.day <= 31 &&
           year_month_day(year(r.year), month(r.month), day(r.day)).ok();
}

// Whether `count` records from `offset` on are as appends store them: each
// storable, identifiers rising strictly.
bool InAppendedOrder(const Bytes& bytes, std::size_t offset, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const StepRecord r = RecordAt(bytes, offset + i * kStepRecordSize);
        if (!Storable(r) ||
            (i > 0 &&
             r.identifier <= RecordAt(bytes, offset + (i - 1) * kStepRecordSize).identifier))
            return false;
    }
    return true;
}

// Where the records lie: [begin, end). Bytes after `end` are a torn tail,
// bytes before `begin` came from elsewhere.
struct Layout {
    std::size_t begin;
    std::size_t end;
};

Layout ExpectedLayout(const Bytes& bytes) {
    const std::size_t length = bytes.size();
    const std::size_t lead = length % kStepRecordSize;
    const std::size_t count = length / kStepRecordSize;
    if (count == 0)
        return {0, 0};
    if (lead == 0) {
        const bool zeroTail = std::all_of(bytes.end() - kStepRecordSize, bytes.end(),
                                          [](unsigned char b) { return b == 0; });
        if (zeroTail && InAppendedOrder(bytes, 0, count - 1))
            return {0, length - kStepRecordSize};
        return {0, length};
    }
    if (InAppendedOrder(bytes, 0, count) && !InAppendedOrder(bytes, lead, count))
        return {0, length - lead};
    return {lead, length};
}

// What a backwards scan must visit, worked out from the layout alone: whole
// records from the end, stopping before a stored end marker.
std::vector<Stored> ExpectedScan(const Bytes& bytes) {
    const Layout layout = ExpectedLayout(bytes);
    std::vector<Stored> scan;
    for (std::size_t end = layout.end; end >= layout.begin + kStepRecordSize;
         end -= kStepRecordSize) {
        StepRecord r = RecordAt(bytes, end - kStepRecordSize);
        if (r.steps == kEndMarker)
            break;
        scan.push_back({r, end - kStepRecordSize});
    }
    return scan;
}

const Stored* FirstWithId(const std::vector<Stored>& scan, std::uint32_t id) {
    auto found =
        std::ranges::find_if(scan, [&](const Stored& s) { return s.record.identifier == id; });
    return found == scan.end() ? nullptr : &*found;
}

void CheckReading(const std::vector<Stored>& scan) {
    CStepFile file(Here());
    CHECK(file.IsOk());
    std::vector<StepRecord> all = file.ReadAll();
    CHECK(all.size() == scan.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        CHECK(all[i] == scan[i].record);

    std::vector<StepRecord> walked;
    StepRecord r;
    for (file.ReadLast(r); r.steps != kEndMarker && walked.size() <= all.size(); file.StepBack(r))
        walked.push_back(r);
    CHECK(walked == all);
    CHECK(file.IsOk());

    for (std::size_t i = 0; i < std::min<std::size_t>(scan.size(), 8); ++i) {
        StepRecord found;
        file.FindById(scan[i].record.identifier, found);
        CHECK(found == FirstWithId(scan, scan[i].record.identifier)->record);
    }
}

std::uint32_t IdentifierMissingFrom(const std::vector<Stored>& scan) {
    for (std::uint32_t id = 0;; ++id)
        if (!FirstWithId(scan, id))
            return id;
}

void CheckDelete(Bytes& bytes, std::uint8_t choice) {
    const std::vector<Stored> scan = ExpectedScan(bytes);
    const std::uint32_t id = scan.empty() || choice % 8 == 7
                                 ? IdentifierMissingFrom(scan)
                                 : scan[choice % scan.size()].record.identifier;
    DeleteEntry(Here(), id);
    // A delete keeps bytes from elsewhere and drops a torn tail; with nothing
    // to delete the file is not touched.
    Bytes expected = bytes;
    if (const Stored* match = FirstWithId(scan, id)) {
        expected.resize(ExpectedLayout(bytes).end);
        auto at = expected.begin() + static_cast<std::ptrdiff_t>(match->offset);
        expected.erase(at, at + static_cast<std::ptrdiff_t>(kStepRecordSize));
    }
    bytes = ReadBytes("data.steps");
    CHECK(bytes == expected);
    CHECK(!fs::exists("data.tmp"));
}

void CheckAppend(Bytes& bytes, const std::uint8_t* data, std::size_t size) {
    auto at = [&](std::size_t i) -> std::uint32_t { return i < size ? data[i] : 0; };
    const std::uint32_t steps = at(1) | at(2) << 8 | at(3) << 16 | at(4) << 24;
    using namespace std::chrono;
    const year_month_day date{year(1601 + static_cast<int>((at(5) | at(6) << 8) % 29227)),
                              month(1 + at(7) % 12), day(1 + at(8) % 28)};
    const bool added = AddEntry(Here(), steps, date).Succeeded();
    Bytes after = ReadBytes("data.steps");
    if (steps == kEndMarker) {
        CHECK(!added && after == bytes);
        return;
    }
    CHECK(added);
    StepRecord expected;
    expected.steps = steps;
    SetEntryDate(expected, date);
    // The identifier follows the last record stored, even one the scans stop
    // at; a torn tail is cut off first.
    const Layout layout = ExpectedLayout(bytes);
    expected.identifier = layout.end < layout.begin + kStepRecordSize
                              ? 1
                              : RecordAt(bytes, layout.end - kStepRecordSize).identifier + 1;
    StepRecordBytes record = EncodeStepRecord(expected);
    bytes.resize(layout.end);
    bytes.insert(bytes.end(), record.begin(), record.end());
    CHECK(after == bytes);
}

void CheckListAndReport(const Bytes& bytes, bool drawValues) {
    const std::vector<Stored> scan = ExpectedScan(bytes);
    ShownDiary diary(Here());
    CHECK(diary.Reload() && diary.Items().size() == scan.size());
    CHECK(std::ranges::is_sorted(
        diary.Items(), {}, [](const ShownEntry& item) { return EntryItemText(item.record); }));

    std::vector<std::uint32_t> ids;
    for (const ShownEntry& item : diary.Items())
        ids.push_back(item.record.identifier);
    ReportData data = LoadReportData(Here(), ids);
    CHECK(data.complete && data.entries.size() == ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i)
        CHECK(data.entries[i] == FirstWithId(scan, ids[i])->record);
    std::uint32_t maximum = 0;
    for (const Stored& stored : scan)
        maximum = std::max(maximum, stored.record.steps);
    CHECK(data.maximum == maximum);

    Canvas canvas(500, 300, 32);
    DrawStepChart(canvas, g_font, data.entries, data.maximum, drawValues);
    const std::string page = FormatHtmlReport(data.entries, ParseStepLength("100"));
    std::size_t rows = 0;
    for (std::size_t at = page.find("<tr><td"); at != std::string::npos;
         at = page.find("<tr><td", at + 1))
        ++rows;
    CHECK(rows == 4 + data.entries.size());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every command syncs the file, so the fuzzer works in memory where it can.
    if (chdir(FuzzDirectory("trekline-fuzz").c_str()) != 0) {
        std::perror("trekline fuzz directory");
        std::exit(1);
    }
    static std::unique_ptr<LabelFont> font = LabelFont::Create("Verdana", 12);
    g_font = font.get();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes bytes(data, data + size);
    WriteBytes("data.steps", bytes);
    const std::uint8_t choice = size > 0 ? data[0] : 0;

    CheckReading(ExpectedScan(bytes));
    CheckListAndReport(bytes, choice & 1);
    CheckDelete(bytes, choice);
    CheckAppend(bytes, data, size);
    CheckReading(ExpectedScan(bytes));
    CheckListAndReport(bytes, choice & 2);
    return 0;
}
