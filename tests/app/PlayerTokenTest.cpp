// The player's token in the settings: made once, kept across restarts, a bad kept value replaced.

#include <gtest/gtest.h>

#include <set>

#include "engine/Engine.h"
#include "engine/backend/headless/Headless.h"
#include "settings/CSettings.h"
#include "tests/support/TestSystem.h"
#include "wire/GameConstants.h"

using namespace engine;

namespace {

bool isLowerHex32(const std::string& token) {
    return token.size() == 32 && token.find_first_not_of("0123456789abcdef") == std::string::npos;
}

class PlayerTokenTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::install();
        FileUtils::getInstance()->setWritablePath(testsys::makeTempDir("desk-token-test"));
        UserDefault::destroyInstance();
    }
    // As far as the settings go, a restart: they are read again from their file.
    static void restart() { UserDefault::destroyInstance(); }
    static std::string kept() { return UserDefault::getInstance()->getStringForKey("playerToken"); }
};

TEST_F(PlayerTokenTest, MadeAtFirstUseAndKeptAcrossRestarts) {
    EXPECT_EQ(kept(), "") << "nothing before the first use";
    const std::string token = CSettings::playerToken();
    EXPECT_TRUE(isLowerHex32(token)) << token;
    EXPECT_EQ(kept(), token);
    EXPECT_EQ(CSettings::playerToken(), token);
    restart();
    EXPECT_EQ(CSettings::playerToken(), token) << "the same person after a restart";
}

// 128 random bits: fresh settings never come up with a token seen before, and every digit
// position takes many values.
TEST_F(PlayerTokenTest, FreshSettingsMakeDifferentTokens) {
    std::set<std::string> tokens;
    std::array<std::set<char>, 32> digits;
    for (int i = 0; i < 40; ++i) {
        UserDefault::getInstance()->setStringForKey("playerToken", "");
        const std::string token = CSettings::playerToken();
        ASSERT_TRUE(isLowerHex32(token)) << token;
        tokens.insert(token);
        for (std::size_t k = 0; k < 32; ++k) {
            digits[k].insert(token[k]);
        }
    }
    EXPECT_EQ(tokens.size(), 40u);
    for (std::size_t k = 0; k < 32; ++k) {
        EXPECT_GE(digits[k].size(), 6u) << "digit " << k;
    }
}

TEST_F(PlayerTokenTest, AKeptValueThatIsNot32HexDigitsIsReplaced) {
    const char* bad[] = {
        "",
        "0123456789abcdef0123456789abcde",    // 31
        "0123456789abcdef0123456789abcdef0",  // 33
        "0123456789abcdeg0123456789abcdef",   // g
        "0123456789abcdef 123456789abcdef",   // a blank
        "01234567-89ab-cdef-0123-456789abcdef",
        "0x23456789abcdef0123456789abcdef",
        "０123456789abcdef0123456789abcde",  // a full-width digit
    };
    for (const char* value : bad) {
        SCOPED_TRACE(value);
        UserDefault::getInstance()->setStringForKey("playerToken", value);
        UserDefault::getInstance()->flush();
        restart();
        const std::string token = CSettings::playerToken();
        EXPECT_TRUE(isLowerHex32(token)) << token;
        EXPECT_NE(token, value);
        restart();
        EXPECT_EQ(kept(), token) << "the new token is kept";
    }
}

TEST_F(PlayerTokenTest, AKeptTokenIsUsedAsItIs) {
    for (const char* value :
         {"00000000000000000000000000000000", "0123456789abcdef0123456789abcdef",
          "0123456789ABCDEF0123456789abcdef"}) {
        UserDefault::getInstance()->setStringForKey("playerToken", value);
        UserDefault::getInstance()->flush();
        restart();
        EXPECT_EQ(CSettings::playerToken(), value);
        EXPECT_TRUE(isPlayerToken(value));
    }
}

}  // namespace
