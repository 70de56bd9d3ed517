// UserDefault: values kept across a reload, the file written atomically, and every bad file or
// folder answered with the defaults and one line on stderr. Every case uses its own temporary
// folder, never the user's own.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "EngineTestSupport.h"
#include "engine/base/UserDefault.h"
#include "tests/support/TestSystem.h"

using namespace engine;
namespace fs = std::filesystem;

namespace {

class UserDefaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::path(enginetest::tempDir()) / "config";
        fs::remove_all(m_folder);
        FileUtils::getInstance()->setWritablePath(m_folder.string());
        UserDefault::destroyInstance();
    }
    void TearDown() override {
        UserDefault::destroyInstance();
        FileUtils::getInstance()->setWritablePath("");
    }
    fs::path file() const { return m_folder / "UserDefault.xml"; }
    void write(const std::string& text) {
        fs::create_directories(m_folder);
        std::ofstream(file(), std::ios::binary) << text;
    }
    // The settings as a fresh start reads them, with what it wrote on stderr.
    UserDefault* reload(std::string* errors = nullptr) {
        UserDefault::destroyInstance();
        ::testing::internal::CaptureStderr();
        UserDefault* settings = UserDefault::getInstance();
        const std::string said = ::testing::internal::GetCapturedStderr();
        if (errors) {
            *errors = said;
        }
        return settings;
    }
    fs::path m_folder;
};

TEST_F(UserDefaultTest, ValuesSurviveARestartAndTheFileIsReplacedWhole) {
    UserDefault* settings = reload();
    settings->setBoolForKey("musicOn", false);
    settings->setIntegerForKey("windowWidth", 1600);
    settings->setIntegerForKey("negative", -7);
    settings->setFloatForKey("volume", 0.6f);
    settings->setStringForKey("name", "玩家 <&> \"one\"");
    ASSERT_TRUE(settings->flush());
    EXPECT_TRUE(fs::exists(file()));
    EXPECT_FALSE(fs::exists(file().string() + ".tmp"));

    settings = reload();
    EXPECT_FALSE(settings->getBoolForKey("musicOn", true));
    EXPECT_EQ(settings->getIntegerForKey("windowWidth", 0), 1600);
    EXPECT_EQ(settings->getIntegerForKey("negative", 0), -7);
    EXPECT_FLOAT_EQ(settings->getFloatForKey("volume", 0), 0.6f);
    EXPECT_EQ(settings->getStringForKey("name", ""), "玩家 <&> \"one\"");
    EXPECT_EQ(settings->getIntegerForKey("absent", 42), 42);

    settings->deleteValueForKey("windowWidth");
    ASSERT_TRUE(settings->flush());
    EXPECT_EQ(reload()->getIntegerForKey("windowWidth", 5), 5);
}

TEST_F(UserDefaultTest, AValueOfTheWrongTypeGivesTheDefault) {
    const struct {
        const char* stored;
        bool asBool;
        int asInt;
        float asFloat;
    } table[] = {
        {"true", true, 9, 9.0f},   {"false", false, 9, 9.0f}, {"12", false, 12, 12.0f},
        {"12abc", false, 9, 9.0f}, {"", false, 9, 9.0f},      {"99999999999", false, 9, 1e11f},
        {"0.25", false, 9, 0.25f}, {"yes", false, 9, 9.0f},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.stored);
        UserDefault* settings = UserDefault::getInstance();
        settings->setStringForKey("value", row.stored);
        EXPECT_EQ(settings->getBoolForKey("value", false), row.asBool);
        EXPECT_EQ(settings->getIntegerForKey("value", 9), row.asInt);
        EXPECT_FLOAT_EQ(settings->getFloatForKey("value", 9.0f), row.asFloat);
    }
}

TEST_F(UserDefaultTest, AMissingOrBadFileGivesTheDefaultsWithOneLineAndIsReplacedByTheNextFlush) {
    const struct {
        const char* name;
        const char* contents;  // null: no file at all
    } table[] = {
        {"missing", nullptr},
        {"empty", ""},
        {"garbage", "\x01\x02not xml at all"},
        {"truncated", "<?xml version=\"1.0\"?><userDefaultRoot><musicOn>false</mus"},
        {"someone else's XML", "<plist><dict/></plist>"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        fs::remove_all(m_folder);
        if (row.contents) {
            write(row.contents);
        }
        std::string errors;
        UserDefault* settings = reload(&errors);
        EXPECT_TRUE(settings->getBoolForKey("musicOn", true));
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        EXPECT_NE(errors.find("using the defaults"), std::string::npos) << errors;
        settings->setBoolForKey("musicOn", false);
        ASSERT_TRUE(settings->flush());
        EXPECT_FALSE(reload()->getBoolForKey("musicOn", true));
    }
}

TEST_F(UserDefaultTest, AnUnreadableFileGivesTheDefaults) {
    fs::create_directories(file());  // a folder where the file should be
    std::string errors;
    UserDefault* settings = reload(&errors);
    EXPECT_EQ(settings->getIntegerForKey("windowWidth", 1024), 1024);
    EXPECT_NE(errors.find("cannot read"), std::string::npos) << errors;
}

TEST_F(UserDefaultTest, AnUnwritableFolderFailsTheFlushAndKeepsTheValuesInMemory) {
    // A folder inside a plain file cannot be made, whoever runs the test.
    const fs::path blocker = fs::path(enginetest::tempDir()) / "a-file";
    std::ofstream(blocker) << "x";
    FileUtils::getInstance()->setWritablePath((blocker / "config").string());
    UserDefault* settings = reload();
    settings->setIntegerForKey("windowWidth", 1280);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(settings->flush());
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_EQ(settings->getIntegerForKey("windowWidth", 0), 1280);
}

TEST_F(UserDefaultTest, AFailedWriteLeavesTheOldFileWhole) {
    UserDefault* settings = reload();
    settings->setIntegerForKey("windowWidth", 1280);
    ASSERT_TRUE(settings->flush());
    // The temporary file's name taken by a folder: the new file cannot be written.
    fs::create_directories(file().string() + ".tmp");
    settings->setIntegerForKey("windowWidth", 800);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(settings->flush());
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(reload()->getIntegerForKey("windowWidth", 0), 1280);
}

// The folder itself: the user's configuration folder and the program's name.
class WritablePathTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_CONFIG_HOME", "HOME", "APPDATA"}) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        FileUtils::getInstance()->setWritablePath("");
    }
    void TearDown() override {
        for (const auto& [name, value] : m_saved) {
            if (value) {
                testsys::setEnv(name, *value);
            } else {
                testsys::unsetEnv(name);
            }
        }
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// A profile folder named in Chinese (a Windows user called 张三): a setting one process keeps
// is read back by the next one.
TEST_F(WritablePathTest, ASettingKeptUnderAChineseProfileFolderIsReadByTheNextProcess) {
    // The child process runs this test again up to the EXPECT_EXIT: the folder's name is fixed.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const fs::path top = fs::path(enginetest::tempDir()) / "profile";
    const fs::path roaming = top / FileUtils::pathFromUtf8("张三") / "AppData" / "Roaming";
#ifdef _WIN32
    testsys::setEnv("APPDATA", FileUtils::utf8FromPath(roaming));
#else
    testsys::setEnv("XDG_CONFIG_HOME", FileUtils::utf8FromPath(roaming));
#endif
    UserDefault::destroyInstance();
    EXPECT_EXIT(
        {
            UserDefault::getInstance()->setStringForKey("tableName", "张三的牌桌");
            std::exit(UserDefault::getInstance()->flush() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    std::error_code error;
    EXPECT_TRUE(fs::is_regular_file(roaming / "engine_test" / "UserDefault.xml", error));
    UserDefault::destroyInstance();
    EXPECT_EQ(UserDefault::getInstance()->getStringForKey("tableName", ""), "张三的牌桌");
    UserDefault::destroyInstance();
    fs::remove_all(top, error);
}

TEST_F(WritablePathTest, XdgConfigHomeThenHomeDotConfigThenNothing) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows names the folder by APPDATA, not by these variables";
#endif
    const struct {
        const char* xdg;   // null: unset
        const char* home;  // null: unset
        const char* expected;
    } table[] = {
        {"/tmp/xdg", "/tmp/home", "/tmp/xdg/engine_test/"},
        {nullptr, "/tmp/home", "/tmp/home/.config/engine_test/"},
        {"relative/xdg", "/tmp/home", "/tmp/home/.config/engine_test/"},
        {"", "/tmp/home", "/tmp/home/.config/engine_test/"},
        {nullptr, nullptr, ""},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(std::string(row.xdg ? row.xdg : "(unset)") + " " +
                     (row.home ? row.home : "(unset)"));
        row.xdg ? testsys::setEnv("XDG_CONFIG_HOME", row.xdg) : testsys::unsetEnv("XDG_CONFIG_HOME");
        row.home ? testsys::setEnv("HOME", row.home) : testsys::unsetEnv("HOME");
        EXPECT_EQ(FileUtils::getInstance()->getWritablePath(), row.expected);
    }
}

}  // namespace
