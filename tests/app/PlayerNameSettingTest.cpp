// The player's name in the settings: kept cleaned across restarts, a refused name keeps nothing,
// and a kept text that breaks the rule (an older build's, or edited by hand) reads as no name.

#include <gtest/gtest.h>

#include "engine/Engine.h"
#include "engine/backend/headless/Headless.h"
#include "settings/CSettings.h"
#include "tests/support/TestSystem.h"

using namespace engine;

namespace {

class PlayerNameSettingTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::install();
        FileUtils::getInstance()->setWritablePath(testsys::makeTempDir("desk-name-test"));
        UserDefault::destroyInstance();
    }
};

TEST_F(PlayerNameSettingTest, KeptCleanedRefusedOrReadAsNone) {
    struct Row {
        const char* what;
        std::string before;  // kept as it is in the file ("" for nothing)
        std::string set;     // then given to setPlayerName ("" for no call)
        bool accepted;
        std::string after;   // playerName() after a restart
    };
    const Row rows[] = {
        {"nothing kept: no name", "", "", false, ""},
        {"kept trimmed", "", "  小明 ", true, "小明"},
        {"a refused name leaves the kept one", "阿强", "小\xE2\x80\x8B明", false, "阿强"},
        {"thirteen characters refused", "", "一二三四五六七八九十百千万", false, ""},
        {"a kept text with a control character reads as none", "a\tb", "", false, ""},
        {"a kept text of thirteen characters reads as none", "一二三四五六七八九十百千万", "",
         false, ""},
    };
    for (const Row& row : rows) {
        UserDefault::getInstance()->deleteValueForKey("playerName");
        if (!row.before.empty()) {
            UserDefault::getInstance()->setStringForKey("playerName", row.before);
        }
        UserDefault::getInstance()->flush();
        if (!row.set.empty()) {
            EXPECT_EQ(CSettings::setPlayerName(row.set), row.accepted) << row.what;
        }
        UserDefault::destroyInstance();
        EXPECT_EQ(CSettings::playerName(), row.after) << row.what;
    }
}

}  // namespace
