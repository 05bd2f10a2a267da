#include "StepRecord.h"

#include "LittleEndian.h"

StepRecordBytes EncodeStepRecord(const StepRecord& r) {
    StepRecordBytes b{};
    EncodeStepRecord(r, b.data());
    return b;
}

void EncodeStepRecord(const StepRecord& r, unsigned char* b) {
    PutLittleEndian32(&b[0], r.steps);
    PutLittleEndian16(&b[4], r.year);
    PutLittleEndian16(&b[6], r.month);
    PutLittleEndian16(&b[8], r.dayOfWeek);
    PutLittleEndian16(&b[10], r.day);
    PutLittleEndian16(&b[12], r.hour);
    PutLittleEndian16(&b[14], r.minute);
    PutLittleEndian16(&b[16], r.second);
    PutLittleEndian16(&b[18], r.milliseconds);
    PutLittleEndian32(&b[20], r.identifier);
}

StepRecord DecodeStepRecord(const unsigned char* b) {
    StepRecord r;
    r.steps = GetLittleEndian32(b);
    r.year = GetLittleEndian16(b + 4);
    r.month = GetLittleEndian16(b + 6);
    r.dayOfWeek = GetLittleEndian16(b + 8);
    r.day = GetLittleEndian16(b + 10);
    r.hour = GetLittleEndian16(b + 12);
    r.minute = GetLittleEndian16(b + 14);
    r.second = GetLittleEndian16(b + 16);
    r.milliseconds = GetLittleEndian16(b + 18);
    r.identifier = GetLittleEndian32(b + 20);
    return r;
}
