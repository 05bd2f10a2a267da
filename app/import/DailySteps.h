#pragma once
#include <chrono>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ImportedSteps.h"

// What a reader gathers from an export: one total per calendar date, and the
// rows it could not read.
class DailySteps {
public:
    void Add(std::chrono::sys_days date, std::uint64_t steps);
    // For files that give a day's total more than once (re-synced days,
    // overlapping files): the larger one is the day's.
    void KeepLarger(std::chrono::sys_days date, std::uint64_t steps);
    void Reject(std::size_t line, std::string reason);
    // For files that are arrays of records rather than lines (JSON): the
    // reason names the record by its place in the array, as "record N".
    void RejectRecord(std::size_t record, const std::string& reason) {
        Reject(0, "record " + std::to_string(record) + ": " + reason);
    }
    // Names the file of an export folder or zip the rows now come from, for
    // the reasons of rejected rows: their line numbers are that file's.
    void ReadingFile(std::string name) { file_ = std::move(name); }

    // The days in date order; a total a diary entry cannot hold is rejected.
    ImportedSteps Finish(std::string format) &&;

private:
    std::map<std::chrono::sys_days, std::uint64_t> totals_;
    ImportedSteps steps_; // the rejected rows until Finish
    std::string file_;
};

// Steps recorded by several sources (phone, watch, apps) that count the same
// walking: summed per source and date; a day's total is its largest source's.
class StepsBySource {
public:
    void Add(std::string_view source, std::chrono::sys_days date, std::uint64_t steps);
    void AddTo(DailySteps& daily) const;

private:
    std::uint64_t& Cell(std::uint32_t source, std::chrono::sys_days date);

    std::unordered_map<std::string, std::uint32_t> sources_;
    std::unordered_map<std::uint64_t, std::uint64_t> cells_;
    std::string lastSource_;
    std::uint32_t lastIndex_ = 0;
};

// a + b, or the largest total when that would overflow. Here in the header so
// that it is inlined: an import adds up a million rows with it.
inline std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
    return a > std::numeric_limits<std::uint64_t>::max() - b
               ? std::numeric_limits<std::uint64_t>::max()
               : a + b;
}
