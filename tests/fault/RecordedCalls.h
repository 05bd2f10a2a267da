#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// The file-system calls of a command that decide what a power cut may leave
// behind, recorded by the wrappers of the fault-injection program as they
// succeed. Paths are absolute, as the calls resolved them.
struct RecordedCall {
    enum class Kind {
        Open,     // path; created: the name was new; truncated: O_TRUNC; anonymous: a
                  // file of no name (O_TMPFILE) in the directory `path`
        Link,     // the file open as fd gets the name target
        Write,    // bytes at offset
        Truncate, // to offset bytes
        Sync,     // fsync of a file or of a directory
        Rename,   // path to target
        Unlink,   // path
        Close,
    };
    Kind kind = Kind::Open;
    int fd = -1;
    std::filesystem::path path;
    std::filesystem::path target;
    bool created = false;
    bool truncated = false;
    bool directory = false; // Open of a directory
    bool anonymous = false;
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> bytes;
};

void StartRecordingCalls();
// The calls since StartRecordingCalls, in order.
std::vector<RecordedCall> StopRecordingCalls();
// Whether a call that changes files went by that the record cannot describe
// (a stdio write, whose buffering hides when the bytes reach the file).
bool UnrecordedChangeSeen();

// Used by the wrappers; does nothing unless recording.
void RecordCall(RecordedCall call);
void RecordUnrecordableChange();
