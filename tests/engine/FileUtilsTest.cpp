// Resource lookup: search paths, $DESK_RESOURCES, the source tree, absolute paths.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class FileUtilsTest : public HeadlessTest {};

TEST_F(FileUtilsTest, ProjectResourcesAreFoundFromTheSourceTree) {
    const std::string path = FileUtils::getInstance()->fullPathForFilename("num.png");
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
    EXPECT_EQ(FileUtils::getInstance()->resourceNameOf(path), "num.png");
    EXPECT_TRUE(FileUtils::getInstance()->fullPathForFilename("nothing.png").empty());
    EXPECT_TRUE(FileUtils::getInstance()->fullPathForFilename("").empty());
}

TEST_F(FileUtilsTest, EnvironmentRootComesBeforeTheStandardOnes) {
    const std::string dir = enginetest::tempDir();
    std::ofstream(dir + "/num.png") << "x";
    setenv("DESK_RESOURCES", dir.c_str(), 1);
    EXPECT_EQ(FileUtils::getInstance()->fullPathForFilename("num.png"),
              (std::filesystem::path(dir) / "num.png").string());
    unsetenv("DESK_RESOURCES");
    EXPECT_NE(FileUtils::getInstance()->fullPathForFilename("num.png"),
              (std::filesystem::path(dir) / "num.png").string());
}

TEST_F(FileUtilsTest, AbsolutePathsAreUsedAsTheyAre) {
    const std::string png = enginetest::makePng("abs.png", 2, 2, {1, 2, 3, 255});
    EXPECT_EQ(FileUtils::getInstance()->fullPathForFilename(png), png);
    EXPECT_TRUE(FileUtils::getInstance()->isFileExist(png));
    EXPECT_FALSE(FileUtils::getInstance()->isFileExist(png + ".missing"));
}

}  // namespace
