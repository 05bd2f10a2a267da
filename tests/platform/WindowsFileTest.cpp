// The Windows file layer where it meets what only Windows has: reparse
// points under a name we write, and the lock between two processes.
#ifdef _WIN32

#include <windows.h>
#include <winioctl.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "FileHandle.h"
#include "FileLinks.h"
#include "FileLock.h"
#include "ReplacementFile.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::vector<unsigned char> kNotes = {'m', 'y', ' ', 'n', 'o', 't', 'e', 's'};
const std::vector<std::uint8_t> kNew = {'n', 'e', 'w'};

// A junction (a mount point reparse point) at `link` to the directory `target`.
bool MakeJunction(const fs::path& target, const fs::path& link) {
    if (!::CreateDirectoryW(link.c_str(), nullptr))
        return false;
    const HANDLE directory =
        ::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (directory == INVALID_HANDLE_VALUE)
        return false;
    const std::wstring substitute = L"\\??\\" + fs::absolute(target).wstring();
    const std::wstring print = fs::absolute(target).wstring();
    // The mount point's buffer: tag, length, reserved; then the offsets and
    // lengths of both names, and both names, each ending in a nul.
    const std::size_t names = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
    std::vector<std::uint8_t> buffer(16 + names);
    const auto put16 = [&](std::size_t at, std::size_t value) {
        const auto v = static_cast<std::uint16_t>(value);
        std::memcpy(buffer.data() + at, &v, sizeof v);
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(buffer.data(), &tag, sizeof tag);
    put16(4, buffer.size() - 8);
    put16(8, 0);
    put16(10, substitute.size() * sizeof(wchar_t));
    put16(12, (substitute.size() + 1) * sizeof(wchar_t));
    put16(14, print.size() * sizeof(wchar_t));
    std::memcpy(buffer.data() + 16, substitute.c_str(), (substitute.size() + 1) * sizeof(wchar_t));
    std::memcpy(buffer.data() + 16 + (substitute.size() + 1) * sizeof(wchar_t), print.c_str(),
                (print.size() + 1) * sizeof(wchar_t));
    DWORD returned = 0;
    const bool made = ::DeviceIoControl(directory, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                        static_cast<DWORD>(buffer.size()), nullptr, 0, &returned,
                                        nullptr);
    ::CloseHandle(directory);
    return made && IsSymbolicLink(link);
}

// What a reparse point at the scratch name may lead to.
struct ReparsePoint {
    const char* what;
    std::function<bool(const fs::path&)> make;
};

} // namespace

// The store writes its new diary under "data.tmp" when that name is free; a
// reparse point there is someone else's, and what it leads to stays as it was.
TEST(WindowsFileTest, AReparsePointAtTheScratchNameIsNeverWrittenThrough) {
    const ReparsePoint points[] = {
        {"a symbolic link to a file",
         [](const fs::path& p) { return MakeSymbolicLink("notes.txt", p); }},
        {"a junction to a directory",
         [](const fs::path& p) { return MakeJunction("kept", p); }},
    };
    int made = 0;
    for (const ReparsePoint& point : points) {
        ScopedTempDir dir;
        WriteFileBytes("notes.txt", kNotes);
        fs::create_directory("kept");
        WriteFileBytes("data.steps", {'o', 'l', 'd'});
        if (!point.make("data.tmp"))
            continue;
        ++made;

        ReplacementFile replacement("data.steps", "data.tmp", ScratchName::StemFirst);
        ASSERT_TRUE(replacement.Write(kNew)) << point.what;
        ASSERT_TRUE(replacement.Commit()) << point.what << ": " << replacement.Status().Describe();

        EXPECT_EQ(ReadFileBytes("data.steps"), std::vector<unsigned char>(kNew.begin(), kNew.end()))
            << point.what;
        EXPECT_TRUE(IsSymbolicLink("data.tmp")) << point.what;
        EXPECT_EQ(ReadFileBytes("notes.txt"), kNotes) << point.what;
        EXPECT_TRUE(fs::is_empty("kept")) << point.what;
    }
    if (made == 0)
        GTEST_SKIP() << "this system makes no reparse points (Wine's calls make none)";
}

namespace {

// The second process: `program --hold-lock PATH HELD RELEASE` takes the
// exclusive lock on PATH, signals the event HELD and keeps the lock until
// RELEASE is signalled. It acts before the tests are even listed.
const bool kHoldsLock = [] {
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!arguments || count != 5 || std::wcscmp(arguments[1], L"--hold-lock") != 0)
        return false;
    const fs::path path = arguments[2];
    const HANDLE held = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, arguments[3]);
    const HANDLE release = ::OpenEventW(SYNCHRONIZE, FALSE, arguments[4]);
    OpenedFile opened = OpenRegularFile(path, OpenMode::ReadWriteCreating);
    if (!held || !release || !opened.status)
        ::ExitProcess(2);
    {
        const FileLock lock(opened.file, FileLock::Kind::Exclusive, path);
        if (!lock.Status())
            ::ExitProcess(3);
        ::SetEvent(held);
        if (::WaitForSingleObject(release, 60000) != WAIT_OBJECT_0)
            ::ExitProcess(4);
    }
    ::ExitProcess(0);
}();

std::wstring EventName(const wchar_t* role) {
    return L"trekline-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + role;
}

} // namespace

// Two FileLocks on one path in two processes exclude each other: whichever
// kind the second asks for, it waits until the first is given up.
TEST(WindowsFileTest, ALockHeldByAnotherProcessIsWaitedFor) {
    using namespace std::chrono_literals;
    for (FileLock::Kind kind : {FileLock::Kind::Exclusive, FileLock::Kind::Shared}) {
        ScopedTempDir dir;
        const fs::path path = dir.Path() / "data.steps";
        WriteFileBytes(path, {'1', '2', '3', '4'});
        const std::wstring heldName = EventName(L"held"), releaseName = EventName(L"release");
        const HANDLE held = ::CreateEventW(nullptr, TRUE, FALSE, heldName.c_str());
        const HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str());
        ASSERT_TRUE(held && release);

        wchar_t program[MAX_PATH];
        ASSERT_GT(::GetModuleFileNameW(nullptr, program, MAX_PATH), 0u);
        std::wstring command = L"\"" + std::wstring(program) + L"\" --hold-lock \"" +
                               path.wstring() + L"\" " + heldName + L" " + releaseName;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child{};
        ASSERT_TRUE(::CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &startup, &child));
        ASSERT_EQ(::WaitForSingleObject(held, 60000), WAIT_OBJECT_0) << "the child took no lock";

        std::atomic<bool> locked = false;
        std::thread second([&] {
            OpenedFile opened = OpenRegularFile(path, OpenMode::ReadWriteCreating);
            ASSERT_TRUE(opened.status) << opened.status.Describe();
            const FileLock lock(opened.file, kind, path);
            EXPECT_TRUE(lock.Status()) << lock.Status().Describe();
            locked = true;
        });
        std::this_thread::sleep_for(500ms);
        EXPECT_FALSE(locked) << "the lock was won while another process held it";
        ::SetEvent(release);
        second.join();
        EXPECT_TRUE(locked);

        DWORD status = 1;
        ::WaitForSingleObject(child.hProcess, 60000);
        ::GetExitCodeProcess(child.hProcess, &status);
        EXPECT_EQ(status, 0u);
        for (HANDLE handle : {child.hProcess, child.hThread, held, release})
            ::CloseHandle(handle);
    }
}

#endif
