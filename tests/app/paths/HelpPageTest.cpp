#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "HelpPage.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "<html></html>\n";
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(HelpPageTest, AnInstalledProgramFindsThePageOfItsOwnPrefix) {
    ScopedTempDir dir;
    const fs::path prefix = dir.Path() / "opt" / "trekline";
    const fs::path page = (prefix / "bin" / kInstalledHelpPage).lexically_normal();
    Touch(prefix / "bin" / "trekline");
    Touch(page);
    // A second prefix without a page must not borrow the first one's.
    Touch(dir.Path() / "usr" / "share" / "doc" / "trekline" / "help" / "index.html");

    EXPECT_EQ(HelpPagePathFor(prefix / "bin" / "trekline"), page);
    EXPECT_EQ(HelpPagePathFor(dir.Path() / "usr" / "bin" / "trekline"),
              HelpPagePathFor(fs::path()));
}

TEST(HelpPageTest, AProgramOutsideAnInstallTreeShowsThePageOfItsSources) {
    ScopedTempDir dir;
    Touch(dir.Path() / "build" / "trekline");
    // A directory where the page should be is not a page.
    fs::create_directories((dir.Path() / "build" / kInstalledHelpPage).lexically_normal());

    const fs::path fromBuildTree = HelpPagePathFor(dir.Path() / "build" / "trekline");
    ASSERT_FALSE(fromBuildTree.empty());
    EXPECT_EQ(fromBuildTree.filename(), "index.html");
    EXPECT_EQ(fromBuildTree.parent_path().filename(), "help");
    EXPECT_EQ(HelpPagePathFor(fs::path()), fromBuildTree);

    // The running test program sits in the build tree too.
    EXPECT_EQ(HelpPagePath(), fromBuildTree);

    const std::string text = ReadText(fromBuildTree);
    for (const char* topic : {"data.steps", "data.tmp", "data_steps.bmp", "out.html", "Add",
                              "Delete", "centimetres", "metres"})
        EXPECT_NE(text.find(topic), std::string::npos) << topic;
}
