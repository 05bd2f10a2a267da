#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "BitmapFile.h"
#include "Canvas.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFileName = "data_steps.bmp";

struct DepthRow {
    int bitCount;
    std::vector<unsigned char> firstPixelBytes; // of the bottom row, which is red
    std::uint32_t clrUsed;
    std::uint32_t offBits;
    std::uint32_t rowBytes;
    std::uint32_t sizeImage;
    std::uint32_t fileSize;
};

const DepthRow kChartTable[] = {{32, {0, 0, 255, 0}, 0, 54, 2000, 600000, 600054},
                                {24, {0, 0, 255, 0}, 0, 54, 1500, 450000, 450054},
                                {16, {0x00, 0x7C, 0x00, 0x7C}, 65536, 262198, 1000, 300000, 562198},
                                {8, {249, 249, 249, 249}, 256, 1078, 500, 150000, 151078},
                                {4, {0x99, 0x99, 0x99, 0x99}, 16, 118, 252, 75600, 75718},
                                // A black bottom row: red is nearer black than white.
                                {1, {0, 0, 0, 0}, 2, 62, 64, 19200, 19262}};

std::uint32_t U32(const std::vector<unsigned char>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t U16(const std::vector<unsigned char>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// Rectangles in colours every depth shows as they are, bottom row and top row
// in different colours.
Canvas ChartLikeCanvas(int bitCount) {
    Canvas canvas(500, 300, bitCount);
    canvas.FillRect({0, 0, 500, 300}, {255, 255, 255});
    if (bitCount == 1) {
        canvas.FillRect({0, 299, 500, 300}, {0, 0, 0});
        canvas.FillRect({100, 50, 333, 120}, {0, 0, 0});
    } else {
        canvas.FillRect({0, 299, 500, 300}, {255, 0, 0});
        canvas.FillRect({0, 0, 500, 1}, {0, 0, 255});
        canvas.FillRect({100, 50, 333, 120}, {0, 255, 0});
        canvas.FillRect({1, 1, 3, 298}, {255, 0, 255});
        canvas.MoveTo(0, 298);
        canvas.LineTo(499, 1, {0, 0, 0});
    }
    return canvas;
}

#ifndef _WIN32
// Runs the function as an ordinary user, so that permission bits hold even
// when the tests run as root; returns false when the function crashed.
bool RunUnprivileged(const std::function<void()>& function) {
    if (geteuid() != 0) {
        function();
        return true;
    }
    const pid_t child = fork();
    if (child == 0) {
        constexpr uid_t nobody = 65534;
        if (setgid(nobody) != 0 || setuid(nobody) != 0) {
            _exit(2);
        }
        function();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

} // namespace

TEST(BitmapFileTest, HeadersFollowTheCanvasAtEveryDepth) {
    ScopedTempDir dir;
    for (const DepthRow& row : kChartTable) {
        SCOPED_TRACE(row.bitCount);
        const Canvas canvas = ChartLikeCanvas(row.bitCount);
        WriteBitmapFile(kFileName, canvas);
        const std::vector<unsigned char> file = ReadFileBytes(kFileName);
        ASSERT_EQ(file.size(), row.fileSize);

        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(U32(file, 2), row.fileSize);
        EXPECT_EQ(U32(file, 6), 0u);
        EXPECT_EQ(U32(file, 10), row.offBits);
        EXPECT_EQ(U32(file, 14), 40u);
        EXPECT_EQ(U32(file, 18), 500u);
        EXPECT_EQ(U32(file, 22), 300u);
        EXPECT_EQ(U16(file, 26), 1);
        EXPECT_EQ(U16(file, 28), row.bitCount);
        EXPECT_EQ(U32(file, 30), 0u);
        EXPECT_EQ(U32(file, 34), row.sizeImage);
        EXPECT_EQ(U32(file, 38), 0u);
        EXPECT_EQ(U32(file, 42), 0u);
        EXPECT_EQ(U32(file, 46), row.clrUsed);
        EXPECT_EQ(U32(file, 50), 0u);

        // The table holds the palette, and nothing for 16 bits.
        const std::vector<Rgb>& palette = canvas.Palette();
        for (std::size_t i = 0; i < row.clrUsed; ++i) {
            const std::size_t at = 54 + 4 * i;
            const Rgb expected = i < palette.size() ? palette[i] : Rgb{};
            ASSERT_EQ((Rgb{file[at + 2], file[at + 1], file[at]}), expected) << i;
            ASSERT_EQ(file[at + 3], 0) << i;
        }

        // The first row in the file is the bottom row of the picture; the
        // next one starts white, or magenta, above it.
        const auto firstRow = file.begin() + row.offBits;
        EXPECT_EQ(std::vector<unsigned char>(firstRow, firstRow + 4), row.firstPixelBytes);
        EXPECT_NE(std::vector<unsigned char>(firstRow + row.rowBytes, firstRow + row.rowBytes + 4),
                  row.firstPixelBytes);
        if (row.bitCount == 4) {
            // 250 bytes of pixels, then two of padding, then the next row,
            // which starts with the black line.
            EXPECT_EQ(file[row.offBits + 249], 0x99);
            EXPECT_EQ(file[row.offBits + 252] >> 4, 0x0);
        }
    }
}

TEST(BitmapFileTest, ImageMagickReadsEveryDepth) {
#ifdef _WIN32
    GTEST_SKIP() << "ImageMagick is the host's, and runs only on Linux";
#else
    if (access("/usr/bin/identify", X_OK) != 0 || access("/usr/bin/convert", X_OK) != 0) {
        GTEST_SKIP() << "ImageMagick is not installed";
    }
    ScopedTempDir dir;
    for (const DepthRow& row : kChartTable) {
        SCOPED_TRACE(row.bitCount);
        const Canvas canvas = ChartLikeCanvas(row.bitCount);
        WriteBitmapFile(kFileName, canvas);

        FILE* identify = popen("/usr/bin/identify -format '%w %h' data_steps.bmp 2>&1", "r");
        ASSERT_NE(identify, nullptr);
        char answer[256] = {};
        const std::size_t length = fread(answer, 1, sizeof answer - 1, identify);
        EXPECT_EQ(pclose(identify), 0) << answer;
        EXPECT_EQ(std::string(answer, length), "500 300");

        ASSERT_EQ(std::system("/usr/bin/convert data_steps.bmp -depth 8 rgb:pixels.rgb"), 0);
        const std::vector<unsigned char> rgb = ReadFileBytes("pixels.rgb");
        ASSERT_EQ(rgb.size(), 500u * 300u * 3u);
        int wrong = 0;
        for (int y = 0; y < 300; ++y) {
            for (int x = 0; x < 500; ++x) {
                const std::size_t at = (static_cast<std::size_t>(y) * 500 + x) * 3;
                const Rgb expected = canvas.PixelAt(x, y);
                wrong += (Rgb{rgb[at], rgb[at + 1], rgb[at + 2]} != expected) ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
#endif
}

TEST(BitmapFileTest, ReplacesTheOldFileWhole) {
    ScopedTempDir dir;
    WriteFileBytes(kFileName, std::vector<unsigned char>(1000000, 0xEE));
    WriteBitmapFile(kFileName, ChartLikeCanvas(1));
    EXPECT_EQ(fs::file_size(kFileName), 19262u);
    EXPECT_EQ(DirectoryNames(), std::vector<std::string>{kFileName});

    // A new file gets the permissions the user's umask allows; Windows has no umask.
#ifndef _WIN32
    fs::remove(kFileName);
    const mode_t previous = umask(027);
    WriteBitmapFile(kFileName, ChartLikeCanvas(1));
    umask(previous);
    struct stat status {};
    ASSERT_EQ(stat(kFileName, &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
#endif

    // An empty canvas has no rows to deliver and writes nothing.
    fs::remove(kFileName);
    WriteBitmapFile(kFileName, Canvas(0, 300, 32));
    WriteBitmapFile(kFileName, Canvas(500, 0, 32));
    EXPECT_FALSE(fs::exists(kFileName));
}

TEST(BitmapFileTest, OldFileSurvivesWhenItCannotBeReplaced) {
#ifdef _WIN32
    GTEST_SKIP() << "needs POSIX permission bits on a directory and a user to drop to";
#else
    ScopedTempDir dir;
    const std::vector<unsigned char> old = {'o', 'l', 'd'};
    const Canvas canvas = ChartLikeCanvas(32);

    // Read-only file in a directory anyone may write to.
    WriteFileBytes(kFileName, old);
    fs::permissions(dir.Path(), fs::perms::all);
    fs::permissions(kFileName,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_TRUE(RunUnprivileged([&] { WriteBitmapFile(kFileName, canvas); }));
    EXPECT_EQ(ReadFileBytes(kFileName), old);
    EXPECT_EQ(DirectoryNames(), std::vector<std::string>{kFileName});

    // Writable file in a directory nobody may add to.
    fs::permissions(kFileName, fs::perms::all);
    fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    EXPECT_TRUE(RunUnprivileged([&] { WriteBitmapFile(kFileName, canvas); }));
    EXPECT_EQ(ReadFileBytes(kFileName), old);
    fs::permissions(dir.Path(), fs::perms::owner_all, fs::perm_options::add);
#endif
}

TEST(BitmapFileTest, OldFileSurvivesAFailedWrite) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a file size limit (setrlimit) in a forked child";
#else
    ScopedTempDir dir;
    const std::vector<unsigned char> old = {'o', 'l', 'd'};
    WriteFileBytes(kFileName, old);

    // A file size limit makes the pixel write fail halfway, as a full disk would.
    const pid_t child = fork();
    if (child == 0) {
        ScopedFileSizeLimit full(100000);
        WriteBitmapFile(kFileName, ChartLikeCanvas(32));
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFileBytes(kFileName), old);
    EXPECT_EQ(DirectoryNames(), std::vector<std::string>{kFileName});
#endif
}
