#pragma once

#include <cerrno>
#include <string>
#include <vector>

// Test-only failures of the file calls the program makes. The test program is
// linked with -Wl,--wrap for each call below, so every call from our own code
// (not from system libraries) passes through here. While armed, calls are
// counted and the chosen ones fail with the chosen errno, the way the C
// library reports them.
enum class FileCall {
    Open,          // fopen, open
    Read,          // fread, pread, read
    Write,         // fwrite, write, pwrite
    Flush,         // fflush
    Sync,          // fsync
    Rename,        // rename, linkat
    Close,         // fclose, close (the descriptor is released all the same)
    Truncate,      // ftruncate
    Lock,          // flock
    Status,        // fstat, stat, lstat
    Seek,          // fseek, ftell, lseek
    Mode,          // fchmod, fchown
    Remove,        // unlink
    Control,       // fcntl
    MakeDirectory, // mkdir
};

const char* FileCallName(FileCall call);

struct FaultPlan {
    int failAt = 0;          // the nth counted call fails; 0 counts only
    int error = EIO;         // the errno it fails with
    bool persistent = false; // every counted call from failAt on fails, as on a dying disk
    // Count only calls that would change the directory: opens for writing,
    // creating or renaming files, changing modes and sizes. With failAt 1 and
    // persistent this is a read-only directory (EROFS) or one we may not
    // write (EACCES), even for root.
    bool changesOnly = false;
};

void ArmFault(const FaultPlan& plan);
// Stops counting; the calls counted since arming, in order.
std::vector<FileCall> DisarmFault();

std::string DescribeCalls(const std::vector<FileCall>& calls);
