#include "StepRecord.h"

namespace {

void Put16(unsigned char* at, std::uint16_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void Put32(unsigned char* at, std::uint32_t value) {
    Put16(at, static_cast<std::uint16_t>(value));
    Put16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint16_t Get16(const unsigned char* at) {
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

std::uint32_t Get32(const unsigned char* at) {
    return Get16(at) | static_cast<std::uint32_t>(Get16(at + 2)) << 16;
}

} // namespace

StepRecordBytes EncodeStepRecord(const StepRecord& r) {
    StepRecordBytes b{};
    Put32(&b[0], r.steps);
    Put16(&b[4], r.year);
    Put16(&b[6], r.month);
    Put16(&b[8], r.dayOfWeek);
    Put16(&b[10], r.day);
    Put16(&b[12], r.hour);
    Put16(&b[14], r.minute);
    Put16(&b[16], r.second);
    Put16(&b[18], r.milliseconds);
    Put32(&b[20], r.identifier);
    return b;
}

StepRecord DecodeStepRecord(const unsigned char* b) {
    StepRecord r;
    r.steps = Get32(b);
    r.year = Get16(b + 4);
    r.month = Get16(b + 6);
    r.dayOfWeek = Get16(b + 8);
    r.day = Get16(b + 10);
    r.hour = Get16(b + 12);
    r.minute = Get16(b + 14);
    r.second = Get16(b + 16);
    r.milliseconds = Get16(b + 18);
    r.identifier = Get32(b + 20);
    return r;
}
