#include "InjectedFault.h"

#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <stdio_ext.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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
    return Fails(FileCall::Open, OpensForChange(flags)) ? -1 : __real_open(path, flags, mode);
}

int __wrap_close(int fd) {
    const bool fails = Fails(FileCall::Close, false);
    const int result = __real_close(fd);
    return fails ? -1 : result;
}

ssize_t __wrap_write(int fd, const void* data, std::size_t size) {
    return Fails(FileCall::Write, false) ? -1 : __real_write(fd, data, size);
}

int __wrap_fsync(int fd) {
    return Fails(FileCall::Sync, false) ? -1 : __real_fsync(fd);
}

int __wrap_ftruncate(int fd, off_t length) {
    return Fails(FileCall::Truncate) ? -1 : __real_ftruncate(fd, length);
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
    return Fails(FileCall::Rename) ? -1 : __real_rename(from, to);
}

} // extern "C"
