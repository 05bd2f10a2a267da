#pragma once

#include <cstdint>
#include <vector>

#include "DiaryFiles.h"
#include "StepRecord.h"

// The diary's files in the current directory, where every test that touches
// files works.
inline DiaryFiles HereFiles() {
    return DiaryFilesIn({});
}

// A record as the program would have stored it.
StepRecord DiaryEntry(std::uint32_t steps, int year, int month, int day,
                      std::uint32_t identifier = 0, int dayOfWeek = 0);

// The bytes of the records, stored back to back after `lead`.
std::vector<unsigned char> DiaryBytes(const std::vector<StepRecord>& records,
                                      std::vector<unsigned char> lead = {});

// Writes the records as the diary in the current directory.
void WriteDiary(const std::vector<StepRecord>& records, std::vector<unsigned char> lead = {});
