#include "FileIdentity.h"

#include "Native.h"

namespace {

std::int64_t Ticks(const LARGE_INTEGER& time) {
    return static_cast<std::int64_t>(time.QuadPart);
}

// Hundreds of nanoseconds, as Windows counts them.
constexpr std::int64_t kNanosecondsPerTick = 100;

} // namespace

std::optional<FileIdentity> NativeIdentity::Of(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (!::GetFileInformationByHandle(handle, &info) ||
        !::GetFileInformationByHandleEx(handle, FileBasicInfo, &times, sizeof times))
        return std::nullopt;
    FileIdentity identity;
    identity.volume_ = info.dwVolumeSerialNumber;
    identity.file_ = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity.size_ = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    identity.modifiedNs_ = Ticks(times.LastWriteTime) * kNanosecondsPerTick;
    identity.changedNs_ = Ticks(times.ChangeTime) * kNanosecondsPerTick;
    return identity;
}

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& file) {
    const HANDLE handle = OpenForLooking(file, /*followLinks=*/true);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::optional<FileIdentity> identity = NativeIdentity::Of(handle);
    ::CloseHandle(handle);
    return identity;
}

std::optional<FileIdentity> FileHandle::Identity() const {
    return NativeIdentity::Of(NativeFile::Handle(*this));
}
