#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One entry a file offered for import asks for. The CSV reader gives one per row; the
// readers of phone and watch exports give one per calendar date (the day's total).
struct ImportedRow {
    std::chrono::year_month_day date;
    std::uint32_t steps = 0;
};

// A row of the file that could not be read, by its line (or record) number.
struct RejectedRow {
    std::size_t line = 0;
    std::string reason;
};

struct ImportedSteps {
    // How many rejected rows are listed with their reasons; the rest are
    // only counted, as a broken file could have millions of them.
    static constexpr std::size_t kMostListedRejections = 1000;

    std::string format; // what the file was read as, for messages: "CSV", "Apple Health", ...
    std::vector<ImportedRow> rows;
    std::vector<RejectedRow> rejected;
    // Rejected rows beyond those listed.
    std::size_t unlistedRejected = 0;

    std::size_t RejectedCount() const { return rejected.size() + unlistedRejected; }

    // Lists a row that could not be read, or only counts it once enough are
    // listed; `reason()` words it, and only for a row that is listed.
    template <typename Reason> void Reject(std::size_t line, Reason reason) {
        if (rejected.size() < kMostListedRejections)
            rejected.push_back({line, std::string(reason())});
        else
            ++unlistedRejected;
    }
};

// Told how far a long read has come; returning false cancels it.
using ImportProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;
