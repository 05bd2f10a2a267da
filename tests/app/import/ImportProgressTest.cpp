// A long read tells how far it has come, in bytes of what was offered, and
// stops when told to.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ExportFile.h"
#include "ImportError.h"
#include "TempDir.h"
#include "TestArchive.h"

namespace fs = std::filesystem;

namespace {

// About 3 MB of varied records, that pack into several of the zip reader's
// blocks, so that progress is told on the way and not only at the end.
std::string LargeAppleExport() {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<HealthData locale=\"en\">\n";
    std::uint32_t noise = 1;
    for (int i = 0; i < 20000; ++i) {
        noise = noise * 1103515245u + 12345u;
        xml += "<Record type=\"HKQuantityTypeIdentifierStepCount\" sourceName=\"iPhone\" "
               "unit=\"count\" startDate=\"2024-01-" +
               std::to_string(10 + noise % 20) + " 10:" + std::to_string(10 + noise / 7 % 50) +
               ":00 +0100\" value=\"" + std::to_string(noise >> 16) + "\"/>\n";
    }
    return xml + "</HealthData>\n";
}

enum class Form { Xml, Zip, Folder };

struct Offered {
    fs::path path;
    std::uint64_t size;
};

Offered Make(Form form) {
    const std::string xml = LargeAppleExport();
    switch (form) {
    case Form::Xml:
        WriteText("export.xml", xml);
        return {"export.xml", fs::file_size("export.xml")};
    case Form::Zip:
        WriteZip("export.zip", {{"apple_health_export/export.xml", xml}});
        return {"export.zip", fs::file_size("export.zip")};
    case Form::Folder:
        WriteFolder("apple_health_export", {{"export.xml", xml}, {"export_cda.xml", xml}});
        return {"apple_health_export", 2 * xml.size()};
    }
    return {};
}

class ProgressOf : public testing::TestWithParam<Form> {
protected:
    ScopedTempDir dir;
};

TEST_P(ProgressOf, RisesToTheWholeSize) {
    const Offered offered = Make(GetParam());
    std::vector<std::pair<std::uint64_t, std::uint64_t>> told;
    ASSERT_TRUE(ReadExportFile(offered.path, [&](std::uint64_t done, std::uint64_t total) {
        told.emplace_back(done, total);
        return true;
    }));
    ASSERT_GE(told.size(), 2u);
    for (std::size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(told[i].second, offered.size);
        if (i > 0) {
            EXPECT_GE(told[i].first, told[i - 1].first);
        }
    }
    EXPECT_LT(told.front().first, offered.size);
    EXPECT_EQ(told.back().first, offered.size);
}

TEST_P(ProgressOf, StopsWhenCancelled) {
    const Offered offered = Make(GetParam());
    std::uint64_t furthest = 0;
    EXPECT_THROW(ReadExportFile(offered.path,
                                [&](std::uint64_t done, std::uint64_t) {
                                    furthest = done;
                                    return false;
                                }),
                 ImportCancelled);
    EXPECT_LT(furthest, offered.size);
}

std::string FormName(const testing::TestParamInfo<Form>& param) {
    static const char* names[] = {"Xml", "Zip", "Folder"};
    return names[static_cast<int>(param.param)];
}

INSTANTIATE_TEST_SUITE_P(Forms, ProgressOf, testing::Values(Form::Xml, Form::Zip, Form::Folder),
                         FormName);

} // namespace
