// Windows before 10 1709, and Wine, rename over a file only once no one holds
// it open: a reader in another window that holds the diary for a moment is
// waited for, and one that does not let go in time fails the replace with the
// old diary whole and nothing left beside it. (Later systems rename at once.)
#ifdef _WIN32
#include <chrono>
#include <thread>

#include <gtest/gtest.h>
#include <windows.h>

#include "ReplacementFile.h"
#include "TempDir.h"

TEST(WindowsReplaceTest, AReaderHoldingTheFileIsWaitedForUpToTwoSeconds) {
    const struct {
        int heldMs;
        bool mustReplace;
    } cases[] = {{0, true}, {300, true}, {3500, false}};
    for (const auto& c : cases) {
        ScopedTempDir dir;
        WriteFileBytes("data.steps", {'o', 'l', 'd'});
        HANDLE reader = ::CreateFileW(L"data.steps", GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(reader, INVALID_HANDLE_VALUE);
        std::thread letGo([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(c.heldMs));
            ::CloseHandle(reader);
        });
        FileStatus committed;
        {
            ReplacementFile copy("data.steps");
            copy.Write(std::vector<std::uint8_t>{'n', 'e', 'w'});
            committed = copy.Commit();
        }
        letGo.join();
        if (c.mustReplace) {
            EXPECT_TRUE(committed.IsOk()) << c.heldMs;
        }
        EXPECT_EQ(ReadFileBytes("data.steps"),
                  (committed.IsOk() ? std::vector<unsigned char>{'n', 'e', 'w'}
                                    : std::vector<unsigned char>{'o', 'l', 'd'}))
            << c.heldMs;
        EXPECT_EQ(DirectoryNames(), std::vector<std::string>{"data.steps"}) << c.heldMs;
    }
}
#endif
