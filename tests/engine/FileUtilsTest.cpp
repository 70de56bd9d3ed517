// Resource lookup: search paths, $DESK_RESOURCES, absolute paths, UTF-8 folder names.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "EngineTestSupport.h"
#include "engine/backend/sdl/ComposeCache.h"
#include "tests/support/TestSystem.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class FileUtilsTest : public HeadlessTest {};

TEST_F(FileUtilsTest, ProjectResourcesAreFoundThroughTheEnvironmentRoot) {
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
    const std::string before = FileUtils::getInstance()->fullPathForFilename("num.png");
    testsys::setEnv("DESK_RESOURCES", dir);
    EXPECT_EQ(FileUtils::getInstance()->fullPathForFilename("num.png"),
              (std::filesystem::path(dir) / "num.png").string());
    testsys::unsetEnv("DESK_RESOURCES");
    EXPECT_NE(FileUtils::getInstance()->fullPathForFilename("num.png"),
              (std::filesystem::path(dir) / "num.png").string());
    EXPECT_TRUE(FileUtils::getInstance()->fullPathForFilename("num.png").empty())
        << "no build-tree root is searched: " << before;
}

// On Windows a narrow path is read in the system's code page, not UTF-8; every path through
// FileUtils and Configuration must still reach a folder named in Chinese.
TEST_F(FileUtilsTest, FoldersNamedInChineseAreSearchedAndRead) {
    const std::string root = testsys::makeTempDir("desk-游戏");
    const std::filesystem::path config = FileUtils::pathFromUtf8(root) / "config";
    std::filesystem::create_directories(config);
    std::ofstream(config / "strings.plist")
        << "<plist><dict><key>title</key><string>双扣</string></dict></plist>";
    FileUtils::getInstance()->addSearchPath(root, true);

    const std::string found = FileUtils::getInstance()->fullPathForFilename("config/strings.plist");
    EXPECT_EQ(found, FileUtils::utf8FromPath(config / "strings.plist"));
    EXPECT_NE(found.find("游戏"), std::string::npos);
    EXPECT_EQ(FileUtils::getInstance()->resourceNameOf(found), "config/strings.plist");
    std::string text;
    EXPECT_TRUE(FileUtils::getInstance()->readFile(found, text));
    EXPECT_NE(text.find("双扣"), std::string::npos);
    ASSERT_TRUE(Configuration::getInstance()->loadConfigFile("config/strings.plist"));
    EXPECT_EQ(Configuration::getInstance()->getValue("title").asString(), "双扣");
    std::filesystem::remove_all(FileUtils::pathFromUtf8(root));
}

TEST_F(FileUtilsTest, AbsolutePathsAreUsedAsTheyAre) {
    const std::string png = enginetest::makePng("abs.png", 2, 2, {1, 2, 3, 255});
    EXPECT_EQ(FileUtils::getInstance()->fullPathForFilename(png), png);
    EXPECT_TRUE(FileUtils::getInstance()->isFileExist(png));
    EXPECT_FALSE(FileUtils::getInstance()->isFileExist(png + ".missing"));
}

#ifndef _WIN32
TEST_F(FileUtilsTest, XlibKeepsItsComposeCacheInTheProgramsCacheUnlessTheUserChoseAFolder) {
    const std::string root = testsys::makeTempDir("desk-cache");
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").stem().string();
    struct Case {
        const char* chosen;  // XCOMPOSECACHE before, null for unset
        std::string expected;
    };
    for (const Case& c : {Case{nullptr, root + "/" + program + "/compose"},
                          Case{"/somewhere/of/the/users", "/somewhere/of/the/users"}}) {
        SCOPED_TRACE(c.chosen ? c.chosen : "unset");
        testsys::setEnv("XDG_CACHE_HOME", root);
        c.chosen ? testsys::setEnv("XCOMPOSECACHE", c.chosen) : testsys::unsetEnv("XCOMPOSECACHE");
        useComposeCache();
        const char* now = std::getenv("XCOMPOSECACHE");
        ASSERT_NE(now, nullptr);
        EXPECT_EQ(now, c.expected);
        EXPECT_TRUE(c.chosen || std::filesystem::is_directory(c.expected));
    }
    testsys::unsetEnv("XCOMPOSECACHE");
    testsys::unsetEnv("XDG_CACHE_HOME");
}
#endif

}  // namespace
