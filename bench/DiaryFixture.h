#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// Writes a diary of `entries` records, one a day backwards from the end
// of 2025 with varied counts, as years of daily use leave it.
void WriteDailyDiary(const std::filesystem::path& file, std::uint32_t entries);

// Writes a diary of `entries` records over the 100 years to the end of 2025,
// as many entries on each day as it takes (several a day past 36,500), in
// date order or, with `shuffled`, in an order of their own, as entries typed
// in for past days leave it. Unlike a daily diary of a million entries, its
// dates all lie in years the calendar conversion learns.
void WriteCenturyDiary(const std::filesystem::path& file, std::uint32_t entries,
                       bool shuffled = false);

// The diary sizes a bench runs at: those on its command line, else `defaults`.
std::vector<std::uint32_t> BenchSizes(int argc, char** argv, std::vector<std::uint32_t> defaults);

// A fresh directory under the temporary directory for a bench's files; empty
// when none can be made.
std::filesystem::path MakeBenchDirectory();
