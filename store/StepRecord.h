#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// One diary entry as stored in the diary file: 24 bytes, little-endian.
// Bytes 4 to 19 hold the date in the layout of a Windows SYSTEMTIME, which is
// how the file has always stored it.
struct StepRecord {
    std::uint32_t steps = 0;
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0; // 0 = Sunday
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
    std::uint32_t identifier = 0;

    bool operator==(const StepRecord&) const = default;
};

inline constexpr std::size_t kStepRecordSize = 24;

// A steps value no real count can have: operations return it when they
// obtained no record, and a stored one ends every backwards scan.
inline constexpr std::uint32_t kEndMarker = 0xFFFFFFFFu;

using StepRecordBytes = std::array<unsigned char, kStepRecordSize>;

StepRecordBytes EncodeStepRecord(const StepRecord& record);
// The same bytes written at `into`, for filling a buffer of many records
// without a copy of each.
void EncodeStepRecord(const StepRecord& record, unsigned char* into);
StepRecord DecodeStepRecord(const unsigned char* bytes);
