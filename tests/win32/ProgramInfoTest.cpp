#include <gtest/gtest.h>

#include "platform/win32/ProgramInfo.h"
#include "resources/ProductInfo.h"

namespace platform::win32 {
namespace {

TEST(ProgramInfoTest, VersionInformationOfTheBuiltProgram) {
    Win32VersionSource source(QUELL_BIN_DIR "/QuellPane.exe");
    const quell::ProductInfo info = source.Read();
    EXPECT_EQ(info.productName, QUELL_PRODUCT_NAME);
    EXPECT_EQ(info.companyName, QUELL_COMPANY_NAME);
    EXPECT_EQ(info.comments, QUELL_WEBSITE);
    EXPECT_EQ(info.versionMajor, 1);
    EXPECT_EQ(info.versionMinor, 0);
}

TEST(ProgramInfoTest, FolderHasNoTrailingSeparatorAndPathEndsInExe) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    const std::string path = ProgramPath();
    EXPECT_EQ(path.rfind(folder + "\\", 0), 0u);
    EXPECT_EQ(path.substr(path.size() - 4), ".exe");
}

}  // namespace
}  // namespace platform::win32
