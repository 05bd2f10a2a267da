#include "InjectedFault.h"

#include <filesystem>
#include <string>
#include <string_view>

#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <stdio_ext.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "RecordedCalls.h"

namespace {

struct FaultState {
    bool armed = false;
    FaultPlan plan;
    std::vector<FileCall> calls;
};

FaultState& State() {
    static FaultState state;
    return state;
}

// Whether this call fails; sets errno when it does.
bool Fails(FileCall call, bool changes = true) {
    FaultState& state = State();
    if (!state.armed || (state.plan.changesOnly && !changes))
        return false;
    state.calls.push_back(call);
    const int n = static_cast<int>(state.calls.size());
    const int at = state.plan.failAt;
    if (at <= 0 || n < at || (n > at && !state.plan.persistent))
        return false;
    errno = state.plan.error;
    return true;
}

bool OpensForChange(int flags) {
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

bool OpensForChange(const char* mode) {
    for (; *mode; ++mode)
        if (*mode == 'w' || *mode == 'a' || *mode == '+')
            return true;
    return false;
}

std::filesystem::path AbsolutePath(const char* path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error).lexically_normal();
    // "dir/." comes out as "dir/"; the directory is named without the slash.
    return absolute.has_filename() ? absolute : absolute.parent_path();
}

extern "C" int __real_fcntl(int fd, int command, ...);
extern "C" off_t __real_lseek(int fd, off_t offset, int whence);

// Where a write() lands: the end of the file for a descriptor opened to append.
// The real calls: asking is none of the calls under test.
off_t WritePosition(int fd) {
    const int flags = __real_fcntl(fd, F_GETFL);
    if (flags >= 0 && (flags & O_APPEND))
        return __real_lseek(fd, 0, SEEK_END);
    return __real_lseek(fd, 0, SEEK_CUR);
}

void RecordWrite(int fd, const void* data, ssize_t written, off_t offset) {
    if (written <= 0)
        return;
    RecordedCall call;
    call.kind = RecordedCall::Kind::Write;
    call.fd = fd;
    call.offset = static_cast<std::uint64_t>(offset);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    call.bytes.assign(bytes, bytes + written);
    RecordCall(std::move(call));
}

} // namespace

const char* FileCallName(FileCall call) {
    switch (call) {
    case FileCall::Open:
        return "open";
    case FileCall::Read:
        return "read";
    case FileCall::Write:
        return "write";
    case FileCall::Flush:
        return "flush";
    case FileCall::Sync:
        return "fsync";
    case FileCall::Rename:
        return "rename";
    case FileCall::Close:
        return "close";
    case FileCall::Truncate:
        return "truncate";
    case FileCall::Lock:
        return "lock";
    case FileCall::Status:
        return "stat";
    case FileCall::Seek:
        return "seek";
    case FileCall::Mode:
        return "chmod";
    case FileCall::Remove:
        return "unlink";
    case FileCall::Control:
        return "fcntl";
    case FileCall::MakeDirectory:
        return "mkdir";
    }
    return "?";
}

void ArmFault(const FaultPlan& plan) {
    FaultState& state = State();
    state.plan = plan;
    state.calls.clear();
    state.armed = true;
}

std::vector<FileCall> DisarmFault() {
    FaultState& state = State();
    state.armed = false;
    return std::move(state.calls);
}

std::string DescribeCalls(const std::vector<FileCall>& calls) {
    std::string text;
    for (std::size_t i = 0; i < calls.size(); ++i)
        text += std::to_string(i + 1) + ":" + FileCallName(calls[i]) + " ";
    return text;
}

// The wrappers. Each failure looks like the C library's own: a closing call
// still releases its descriptor or stream, a failed flush drops the buffered
// bytes as glibc does after a failed write.
extern "C" {

std::FILE* __real_fopen(const char* path, const char* mode);
int __real_fclose(std::FILE* stream);
int __real_fflush(std::FILE* stream);
std::size_t __real_fread(void* data, std::size_t size, std::size_t count, std::FILE* stream);
std::size_t __real_fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* stream);
int __real_fseek(std::FILE* stream, long offset, int whence);
long __real_ftell(std::FILE* stream);
int __real_open(const char* path, int flags, ...);
int __real_close(int fd);
ssize_t __real_write(int fd, const void* data, std::size_t size);
int __real_fsync(int fd);
int __real_ftruncate(int fd, off_t length);
int __real_flock(int fd, int operation);
int __real_fstat(int fd, struct stat* info);
int __real_stat(const char* path, struct stat* info);
int __real_fchmod(int fd, mode_t mode);
int __real_rename(const char* from, const char* to);
ssize_t __real_pwrite(int fd, const void* data, std::size_t size, off_t offset);
ssize_t __real_pread(int fd, void* data, std::size_t size, off_t offset);
int __real_unlink(const char* path);
int __real_fchown(int fd, uid_t owner, gid_t group);
int __real_lstat(const char* path, struct stat* info);
int __real_linkat(int fromDirectory, const char* from, int toDirectory, const char* to, int flags);
ssize_t __real_read(int fd, void* data, std::size_t size);
int __real_mkdir(const char* path, mode_t mode);

std::FILE* __wrap_fopen(const char* path, const char* mode) {
    return Fails(FileCall::Open, OpensForChange(mode)) ? nullptr : __real_fopen(path, mode);
}

int __wrap_fclose(std::FILE* stream) {
    const bool fails = Fails(FileCall::Close, false);
    const int result = __real_fclose(stream);
    return fails ? EOF : result;
}

int __wrap_fflush(std::FILE* stream) {
    if (Fails(FileCall::Flush, false)) {
        if (stream)
            __fpurge(stream);
        return EOF;
    }
    return __real_fflush(stream);
}

std::size_t __wrap_fread(void* data, std::size_t size, std::size_t count, std::FILE* stream) {
    return Fails(FileCall::Read, false) ? 0 : __real_fread(data, size, count, stream);
}

std::size_t __wrap_fwrite(const void* data, std::size_t size, std::size_t count,
                          std::FILE* stream) {
    if (stream != stdout && stream != stderr)
        RecordUnrecordableChange();
    return Fails(FileCall::Write, false) ? 0 : __real_fwrite(data, size, count, stream);
}

int __wrap_fseek(std::FILE* stream, long offset, int whence) {
    return Fails(FileCall::Seek, false) ? -1 : __real_fseek(stream, offset, whence);
}

long __wrap_ftell(std::FILE* stream) {
    return Fails(FileCall::Seek, false) ? -1 : __real_ftell(stream);
}

int __wrap_open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        std::va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    if (Fails(FileCall::Open, OpensForChange(flags)))
        return -1;
    const bool existed =
        (flags & O_CREAT) && ::faccessat(AT_FDCWD, path, F_OK, AT_SYMLINK_NOFOLLOW) == 0;
    const int fd = __real_open(path, flags, mode);
    if (fd >= 0) {
        struct stat info;
        RecordedCall call;
        call.kind = RecordedCall::Kind::Open;
        call.fd = fd;
        call.path = AbsolutePath(path);
        call.created = (flags & O_CREAT) && !existed;
        call.anonymous = (flags & O_TMPFILE) == O_TMPFILE;
        call.truncated = (flags & O_TRUNC) != 0;
        call.directory = __real_fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
        RecordCall(std::move(call));
    }
    return fd;
}

int __wrap_close(int fd) {
    const bool fails = Fails(FileCall::Close, false);
    const int result = __real_close(fd);
    RecordedCall call;
    call.kind = RecordedCall::Kind::Close;
    call.fd = fd;
    RecordCall(std::move(call));
    return fails ? -1 : result;
}

ssize_t __wrap_write(int fd, const void* data, std::size_t size) {
    if (Fails(FileCall::Write, false))
        return -1;
    const off_t offset = WritePosition(fd);
    const ssize_t written = __real_write(fd, data, size);
    RecordWrite(fd, data, written, offset);
    return written;
}

ssize_t __wrap_pwrite(int fd, const void* data, std::size_t size, off_t offset) {
    if (Fails(FileCall::Write, false))
        return -1;
    const ssize_t written = __real_pwrite(fd, data, size, offset);
    RecordWrite(fd, data, written, offset);
    return written;
}

ssize_t __wrap_pread(int fd, void* data, std::size_t size, off_t offset) {
    return Fails(FileCall::Read, false) ? -1 : __real_pread(fd, data, size, offset);
}

int __wrap_fsync(int fd) {
    if (Fails(FileCall::Sync, false))
        return -1;
    const int result = __real_fsync(fd);
    if (result == 0) {
        RecordedCall call;
        call.kind = RecordedCall::Kind::Sync;
        call.fd = fd;
        RecordCall(std::move(call));
    }
    return result;
}

int __wrap_ftruncate(int fd, off_t length) {
    if (Fails(FileCall::Truncate))
        return -1;
    const int result = __real_ftruncate(fd, length);
    if (result == 0) {
        RecordedCall call;
        call.kind = RecordedCall::Kind::Truncate;
        call.fd = fd;
        call.offset = static_cast<std::uint64_t>(length);
        RecordCall(std::move(call));
    }
    return result;
}

int __wrap_unlink(const char* path) {
    if (Fails(FileCall::Remove))
        return -1;
    const std::filesystem::path absolute = AbsolutePath(path);
    const int result = __real_unlink(path);
    if (result == 0) {
        RecordedCall call;
        call.kind = RecordedCall::Kind::Unlink;
        call.path = absolute;
        RecordCall(std::move(call));
    }
    return result;
}

int __wrap_fchown(int fd, uid_t owner, gid_t group) {
    return Fails(FileCall::Mode) ? -1 : __real_fchown(fd, owner, group);
}

int __wrap_lstat(const char* path, struct stat* info) {
    return Fails(FileCall::Status, false) ? -1 : __real_lstat(path, info);
}

int __wrap_flock(int fd, int operation) {
    return Fails(FileCall::Lock, false) ? -1 : __real_flock(fd, operation);
}

int __wrap_fstat(int fd, struct stat* info) {
    return Fails(FileCall::Status, false) ? -1 : __real_fstat(fd, info);
}

int __wrap_stat(const char* path, struct stat* info) {
    return Fails(FileCall::Status, false) ? -1 : __real_stat(path, info);
}

int __wrap_fchmod(int fd, mode_t mode) {
    return Fails(FileCall::Mode) ? -1 : __real_fchmod(fd, mode);
}

int __wrap_rename(const char* from, const char* to) {
    if (Fails(FileCall::Rename))
        return -1;
    RecordedCall call;
    call.kind = RecordedCall::Kind::Rename;
    call.path = AbsolutePath(from);
    call.target = AbsolutePath(to);
    const int result = __real_rename(from, to);
    if (result == 0)
        RecordCall(std::move(call));
    return result;
}

int __wrap_linkat(int fromDirectory, const char* from, int toDirectory, const char* to, int flags) {
    if (Fails(FileCall::Rename))
        return -1;
    const int result = __real_linkat(fromDirectory, from, toDirectory, to, flags);
    // Only the naming of an open file of no name is ours to record.
    constexpr std::string_view kOwnDescriptors = "/proc/self/fd/";
    const std::string_view source = from;
    if (result == 0 && source.starts_with(kOwnDescriptors)) {
        RecordedCall call;
        call.kind = RecordedCall::Kind::Link;
        call.fd = std::stoi(std::string(source.substr(kOwnDescriptors.size())));
        call.target = AbsolutePath(to);
        RecordCall(std::move(call));
    }
    return result;
}

// Counted as no change: the flags of a descriptor are not on disk. Its
// argument is an int or a pointer, by the command; one that takes none
// ignores what it is given.
int __wrap_fcntl(int fd, int command, ...) {
    std::va_list arguments;
    va_start(arguments, command);
    void* argument = nullptr;
    bool takesInt = false;
    switch (command) {
    case F_GETFD:
    case F_GETFL:
    case F_GETOWN:
    case F_GETSIG:
    case F_GETLEASE:
    case F_GETPIPE_SZ:
    case F_GET_SEALS:
        break;
    case F_DUPFD:
    case F_DUPFD_CLOEXEC:
    case F_SETFD:
    case F_SETFL:
    case F_SETOWN:
    case F_SETSIG:
    case F_SETLEASE:
    case F_NOTIFY:
    case F_SETPIPE_SZ:
    case F_ADD_SEALS:
        takesInt = true;
        argument = reinterpret_cast<void*>(static_cast<std::intptr_t>(va_arg(arguments, int)));
        break;
    default:
        argument = va_arg(arguments, void*);
        break;
    }
    va_end(arguments);
    if (Fails(FileCall::Control, false))
        return -1;
    if (takesInt)
        return __real_fcntl(fd, command,
                            static_cast<int>(reinterpret_cast<std::intptr_t>(argument)));
    return __real_fcntl(fd, command, argument);
}

ssize_t __wrap_read(int fd, void* data, std::size_t size) {
    return Fails(FileCall::Read, false) ? -1 : __real_read(fd, data, size);
}

off_t __wrap_lseek(int fd, off_t offset, int whence) {
    return Fails(FileCall::Seek, false) ? -1 : __real_lseek(fd, offset, whence);
}

int __wrap_mkdir(const char* path, mode_t mode) {
    return Fails(FileCall::MakeDirectory) ? -1 : __real_mkdir(path, mode);
}

} // extern "C"
