#pragma once

#include <cstdint>
#include <filesystem>

// More entries than anyone's diary holds (a daily entry for 270,000 years): a
// file that size is not a diary, reading it would only exhaust memory, and no
// change may grow a diary past it.
inline constexpr std::uint64_t kMostDiaryRecords = 100'000'000;

// The files of one diary, all in the directory Trekline was started from. The
// names are the only place these files are named; everything that opens one is
// handed its path from here.
struct DiaryFiles {
    std::filesystem::path directory;
    std::filesystem::path steps;   // the diary itself
    std::filesystem::path scratch; // a delete's new contents before they replace the diary
    std::filesystem::path chart;   // the report's picture
    std::filesystem::path page;    // the report's page, which shows the picture beside it
    // The most records the diary may hold; tests lower it to reach it.
    std::uint64_t mostRecords = kMostDiaryRecords;
};

// An empty directory gives names relative to the current directory.
inline DiaryFiles DiaryFilesIn(const std::filesystem::path& directory) {
    return {directory,
            directory / "data.steps",
            directory / "data.tmp",
            directory / "data_steps.bmp",
            directory / "out.html",
            kMostDiaryRecords};
}
