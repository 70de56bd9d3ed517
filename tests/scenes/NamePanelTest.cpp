// The name panel on the headless back end: it opens at the first start, the input method's
// composition and committed text reach its field, Backspace and the limit work by code point,
// 确定 keeps and sends the name, the server's answer closes it or shows why not, and no key
// typed into it reaches the hall behind.

#include <filesystem>

#include "engine/backend/headless/Headless.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/CNamePanel.h"
#include "settings/CSettings.h"
#include "tests/kit/PicturePath.h"
#include "tests/scenes/SceneTestKit.h"
#include "wire/PlayerName.h"

using namespace engine;
using K = EventKeyboard::KeyCode;

namespace {

const Vec2 kConfirm(CNamePanel::kConfirmX, CNamePanel::kButtonY);
const Vec2 kSuggest(CNamePanel::kSuggestX, CNamePanel::kButtonY);
const Vec2 kRename(652, 552);
const std::string kEleven = "一二三四五六七八九十百";
const std::string kHelloWithNames = R"({"opt":"hello","status":"ok","resume":"0","names":"1"})";
const std::string kOldHello = R"({"opt":"hello","status":"ok","resume":"0"})";

}  // namespace

class NamePanelTest : public SceneTest {
protected:
    // The first start: no name kept.
    void SetUp() override {
        SceneTest::SetUp();
        UserDefault::getInstance()->deleteValueForKey("playerName");
    }
    CNamePanel* firstHall() {
        CHallScene* hall = startHall();
        CNamePanel* panel = CNamePanel::of(hall);
        EXPECT_NE(panel, nullptr);
        takeSent();
        return panel;
    }
};

TEST_F(NamePanelTest, TheFirstStartAsksForANameWithTextInputOnOverTheField) {
    CNamePanel* panel = firstHall();
    ASSERT_TRUE(panel->isOpen());
    EXPECT_TRUE(panel->field()->isAttached());
    EXPECT_TRUE(headless::textInputOn());
    const PixelRect area = headless::textInputArea();
    EXPECT_NEAR(area.x + area.w / 2, CNamePanel::kFieldX, 1.0f);
    EXPECT_NEAR(area.w, CNamePanel::kFieldWidth, 1.0f);
    EXPECT_NEAR(768 - (area.y + area.h / 2), CNamePanel::kFieldY, 1.0f);
    EXPECT_EQ(checkPlayerName(panel->field()->getString()).fault, NameFault::None)
        << "a suggestion that passes the rule: " << panel->field()->getString();

    // Enter (quick join in the hall), Esc and a tap on the quick-join button stay in the panel.
    headless::typeKey(K::KEY_ESCAPE);
    headless::tap(512, 384);
    EXPECT_TRUE(panel->isOpen()) << "no name kept yet: the panel cannot be put away";
    headless::typeText("x");
    headless::typeKey(K::KEY_ENTER);
    EXPECT_EQ(takeSent(), std::vector<std::string>{}) << "no add, and no name to an old server";
    EXPECT_FALSE(panel->isOpen()) << "Enter in the field is 确定";
    EXPECT_FALSE(headless::textInputOn()) << "text input goes off with the field";
}

TEST_F(NamePanelTest, CompositionCommitBackspaceAndLimitByCodePoint) {
    enum class Act { Compose, Commit, Backspace };
    struct Step {
        Act act;
        std::string text;
    };
    struct Row {
        const char* what;
        std::string start;
        std::vector<Step> steps;
        std::string text;         // the field's text after
        std::string composition;  // shown after it
    };
    const Row rows[] = {
        {"composition shown, text unchanged", "小", {{Act::Compose, "ming"}}, "小", "ming"},
        {"the composition as the IME narrows it", "", {{Act::Compose, "xiao"}, {Act::Compose, "小"}},
         "", "小"},
        {"committed text replaces the composition", "", {{Act::Compose, "xiao"}, {Act::Commit, "小"}},
         "小", ""},
        {"a cleared composition", "a", {{Act::Compose, "b"}, {Act::Compose, ""}}, "a", ""},
        {"Backspace removes one character of three bytes", "小明", {{Act::Backspace, ""}}, "小", ""},
        {"Backspace removes an emoji of four bytes", "a\xF0\x9F\x98\x80", {{Act::Backspace, ""}},
         "a", ""},
        {"Backspace while composing is the IME's", "小明", {{Act::Compose, "a"}, {Act::Backspace, ""}},
         "小明", "a"},
        {"Backspace on nothing", "", {{Act::Backspace, ""}}, "", ""},
        {"the limit cuts a commit at a whole character", kEleven, {{Act::Commit, "千万"}},
         kEleven + "千", ""},
        {"at the limit a commit adds nothing", kEleven + "千", {{Act::Commit, "x"}}, kEleven + "千", ""},
        {"room again after Backspace", kEleven + "千", {{Act::Backspace, ""}, {Act::Commit, "万"}},
         kEleven + "万", ""},
    };
    CNamePanel* panel = firstHall();
    ASSERT_TRUE(panel->isOpen());
    ui::TextField* field = panel->field();
    for (const Row& row : rows) {
        headless::compose("", 0);
        field->setString(row.start);
        for (const Step& step : row.steps) {
            if (step.act == Act::Compose) {
                headless::compose(step.text, 0);
            } else if (step.act == Act::Commit) {
                headless::typeText(step.text);
            } else {
                headless::typeKey(K::KEY_BACKSPACE);
            }
        }
        EXPECT_EQ(field->getString(), row.text) << row.what;
        EXPECT_EQ(field->textLabel()->getString(), row.text) << row.what;
        EXPECT_EQ(field->getComposition(), row.composition) << row.what;
        EXPECT_EQ(field->compositionLabel()->getString(), row.composition) << row.what;
        // The composition and the caret follow the text.
        EXPECT_NEAR(field->compositionLabel()->getPositionX(),
                    field->textLabel()->getPositionX() + field->textLabel()->getContentSize().width,
                    0.01f)
            << row.what;
        EXPECT_NEAR(field->caretLabel()->getPositionX(),
                    field->compositionLabel()->getPositionX() +
                        field->compositionLabel()->getContentSize().width,
                    0.01f)
            << row.what;
    }
    EXPECT_EQ(takeSent(), std::vector<std::string>{}) << "no key reached the hall";
}

TEST_F(NamePanelTest, ConfirmKeepsSendsAndHandlesTheAnswer) {
    struct Row {
        const char* what;
        std::string hello;   // the link's hello answer
        std::string typed;   // the field's text at 确定
        std::vector<std::string> sent;
        std::string answer;  // the server's, "" for none
        std::string kept;    // CSettings::playerName() after
        bool open;           // the panel after
        std::string reason;  // shown after
    };
    const Row rows[] = {
        {"taken, trimmed, sent; the name answer closes", kHelloWithNames, " 小明 ",
         {nameMessage("小明")}, R"({"opt":"name","name":"小明2"})", "小明", false, ""},
        {"an old server: kept for the next hello, nothing sent", kOldHello, "小明", {}, "", "小明",
         false, ""},
        {"the rule refuses: nothing kept or sent", kHelloWithNames, "   ", {}, "", "", true,
         "请输入名字"},
        {"twelve characters: sent, the answer awaited", kHelloWithNames, kEleven + "千", {nameMessage(kEleven + "千")}, "",
         kEleven + "千", true, "…"},
        {"the server refuses", kHelloWithNames, "阿强", {nameMessage("阿强")},
         R"({"opt":"name","nameError":"in a game"})", "阿强", true, "牌局进行中，请在牌局结束后改名"},
        {"a reason this build does not know", kHelloWithNames, "阿强", {nameMessage("阿强")},
         R"({"opt":"name","nameError":"rude"})", "阿强", true, "服务器拒绝了这个名字：rude"},
    };
    for (const Row& row : rows) {
        UserDefault::getInstance()->deleteValueForKey("playerName");
        CNamePanel* panel = firstHall();
        feed(row.hello);
        panel->field()->setString(row.typed);
        headless::tap(kConfirm.x, kConfirm.y);
        EXPECT_EQ(takeSent(), row.sent) << row.what;
        if (!row.answer.empty()) {
            feed(row.answer);
        }
        EXPECT_EQ(CSettings::playerName(), row.kept) << row.what;
        EXPECT_EQ(panel->isOpen(), row.open) << row.what;
        EXPECT_EQ(panel->reasonShown(), row.reason) << row.what;
    }
}

TEST_F(NamePanelTest, AHelloRefusingTheKeptNameOpensThePanelWithTheReason) {
    CSettings::setPlayerName("小明");
    CHallScene* hall = startHall();
    CNamePanel* panel = CNamePanel::of(hall);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isOpen());
    feed(R"({"opt":"hello","status":"ok","resume":"0","names":"1","nameError":"invisible character"})");
    EXPECT_TRUE(panel->isOpen());
    EXPECT_EQ(panel->reasonShown(), "名字不能含有不可见的字符");
    EXPECT_EQ(panel->field()->getString(), "小明");
}

TEST_F(NamePanelTest, TheSettingsPanelOpensItAndEscClosesItOnceANameIsKept) {
    CSettings::setPlayerName("小明");
    CHallScene* hall = startHall();
    CNamePanel* panel = CNamePanel::of(hall);
    ASSERT_NE(panel, nullptr);
    headless::tap(kHallGear.x, kHallGear.y);
    headless::tap(kRename.x, kRename.y);
    ASSERT_TRUE(panel->isOpen());
    EXPECT_EQ(panel->field()->getString(), "小明");
    headless::tap(kSuggest.x, kSuggest.y);
    EXPECT_NE(panel->field()->getString(), "小明");
    takeSent();
    headless::typeKey(K::KEY_ESCAPE);
    EXPECT_FALSE(panel->isOpen());
    EXPECT_FALSE(headless::textInputOn());
    EXPECT_EQ(CSettings::playerName(), "小明") << "Esc keeps the name as it was";
    EXPECT_EQ(takeSent(), std::vector<std::string>{});
    headless::typeKey(K::KEY_ENTER);
    EXPECT_EQ(takeSent(), std::vector<std::string>{addMessage()}) << "the hall has its keys back";
}

// The panel as a player first sees it, with a name being composed, for the README.
TEST_F(NamePanelTest, PanelPicture) {
    CNamePanel* panel = firstHall();
    panel->field()->setString("小明");
    headless::compose("tian", 4);
    const std::string path = picturePath("name-panel.png");
    ASSERT_TRUE(headless::saveFrame(path));
    EXPECT_GT(std::filesystem::file_size(path), 0u);
    // The field's cream shows under the text, where the hall's table is green without the panel.
    const DrawColor field = headless::pixelAt(CNamePanel::kFieldX + 90, CNamePanel::kFieldY);
    EXPECT_GT(field.r, 200);
    EXPECT_GT(field.g, 200);
}
