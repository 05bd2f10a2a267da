#pragma once

#include <cstdint>
#include <filesystem>

// Writes a diary of `entries` records, one a day backwards from the end
// of 2025 with varied counts, as years of daily use leave it.
void WriteDailyDiary(const std::filesystem::path& file, std::uint32_t entries);
