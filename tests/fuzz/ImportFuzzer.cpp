// Any bytes offered for import, as a CSV file or an export, into a small
// diary, with conflicts kept and then with the file's taken: a refused file
// or a failed import leaves the diary's bytes as they were; an import keeps
// the records whole, does what its preview said, and a second import of the
// same bytes changes nothing at all.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "EntryDate.h"
#include "FuzzHarness.h"
#include "ImportCommand.h"
#include "LocalClock.h"
#include "StepRecord.h"

namespace fs = std::filesystem;
using namespace std::chrono;
using Bytes = std::vector<unsigned char>;

namespace {

const char kOffered[] = "offered";

const DiaryFiles& Here() {
    static const DiaryFiles files = DiaryFilesIn({});
    return files;
}

Bytes ReadBytes(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const char* name, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Dates the seeds use, one of them twice, so that imports meet agreeing,
// conflicting and new dates alike.
Bytes SmallDiary() {
    const struct {
        std::uint32_t steps;
        year_month_day date;
    } entries[] = {{12, 2006y / May / 5},      {30, 2006y / May / 6},    {500, 2024y / January / 1},
                   {700, 2024y / January / 1}, {8000, 2024y / June / 1}, {0, 2019y / June / 1}};
    Bytes bytes;
    std::uint32_t identifier = 0;
    for (const auto& [steps, date] : entries) {
        StepRecord record;
        record.steps = steps;
        record.identifier = ++identifier;
        SetEntryDate(record, date);
        const StepRecordBytes encoded = EncodeStepRecord(record);
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    }
    return bytes;
}

// A refusal's reason goes to `why`, so that a broken invariant can say it.
std::optional<ImportPreview> Preview(std::size_t size, CommandOutcome& why) {
    std::uint64_t lastDone = 0;
    std::optional<ImportPreview> preview = PreviewImport(
        Here(), kOffered,
        [&](std::uint64_t done, std::uint64_t total) {
            CHECK(done >= lastDone && done <= total && total == size);
            lastDone = done;
            return true;
        },
        why);
    CHECK(preview.has_value() == why.Succeeded());
    return preview;
}

// Imports the previewed rows; the merge carried out, or none when the import
// failed, which must then have changed nothing.
std::optional<ImportMerge> Import(const ImportPreview& preview, ConflictChoice choice,
                                  const Bytes& before) {
    ImportMerge done;
    if (!ImportRows(Here(), preview.steps.rows, choice, &done)) {
        CHECK(ReadBytes("data.steps") == before);
        return std::nullopt;
    }
    return done;
}

void CheckImport(ConflictChoice choice, std::size_t size) {
    const Bytes before = SmallDiary();
    WriteBytes("data.steps", before.data(), before.size());
    CommandOutcome why;
    const std::optional<ImportPreview> preview = Preview(size, why);
    if (!preview) {
        CHECK(ReadBytes("data.steps") == before);
        return;
    }
    CHECK(!preview->steps.rows.empty());
    const std::optional<ImportMerge> done = Import(*preview, choice, before);
    if (!done)
        return;
    const Bytes after = ReadBytes("data.steps");
    CHECK(!fs::exists("data.tmp"));
    // The preview saw the diary the import met.
    CHECK(done->unchanged == preview->merge.unchanged);
    CHECK(done->conflicts == preview->merge.conflicts);
    CHECK(done->added == preview->merge.added);
    if (choice == ConflictChoice::kKeepDiary) {
        // Entries are only added, after the ones there were.
        CHECK(done->edit.removed.empty());
        CHECK(after.size() >= before.size() &&
              std::equal(before.begin(), before.end(), after.begin()));
    } else {
        // A conflicting date had entries, and they went.
        CHECK(done->edit.removed.empty() == done->conflicts.empty());
    }
    CHECK(after.size() % kStepRecordSize == 0);
    CHECK(after.size() + done->edit.removed.size() * kStepRecordSize ==
          before.size() + done->edit.added.size() * kStepRecordSize);

    // The same bytes once more: nothing to add, nothing to change.
    CommandOutcome whyAgain;
    const std::optional<ImportPreview> again = Preview(size, whyAgain);
    if (!again)
        std::fprintf(stderr, "refused when read again (%zu rows the first time): %s\n",
                     preview->steps.rows.size(), whyAgain.log.c_str());
    CHECK(again.has_value());
    const std::optional<ImportMerge> redone = Import(*again, choice, after);
    CHECK(redone.has_value());
    CHECK(redone->added == 0 && redone->edit.IsEmpty());
    CHECK(redone->conflicts.empty() || choice == ConflictChoice::kKeepDiary);
    CHECK(ReadBytes("data.steps") == after);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every import syncs the diary, so the fuzzer works in memory where it can.
    if (chdir(FuzzDirectory("trekline-import-fuzz").c_str()) != 0) {
        std::perror("trekline import fuzz directory");
        std::exit(1);
    }
    PinLocalTimeZone();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteBytes(kOffered, data, size);
    CheckImport(ConflictChoice::kKeepDiary, size);
    CheckImport(ConflictChoice::kUseFile, size);
    return 0;
}
