// Private desks in the client: the join panel's keys, pad and answers (and that no key reaches
// the hall behind it), 创建牌桌 and 加入牌桌 shown only when the server offers private desks, and
// the desk's code, 复制 and the creator's 加电脑.

#include <algorithm>
#include <string>
#include <vector>

#include "engine/backend/headless/Headless.h"
#include "engine/platform/Clipboard.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using Key = EventKeyboard::KeyCode;

struct JoinPanelProbe {
    CJoinPanel& panel;
    Label* field() const { return panel.m_lblField; }
    Label* message() const { return panel.m_lblMessage; }
};

namespace {

const std::string kPrivateHello =
    R"({"opt":"hello","status":"ok","resume":"0","talk":"1","private":"1"})";

// Where the hall's buttons and the join panel's keys are (design points).
const Vec2 kCreateButton(250, 384);
const Vec2 kJoinButton(774, 384);
Vec2 padKey(char key) {  // '0'-'9', 'D' 删除, 'J' 加入
    if (key >= '1' && key <= '9') {
        const int index = key - '1';
        return Vec2(512 + 96.0f * static_cast<float>(index % 3 - 1),
                    399 - 46.0f * static_cast<float>(index / 3));
    }
    const float x = key == 'D' ? 416 : key == '0' ? 512 : 608;
    return Vec2(x, 399 - 46 * 3);
}

std::string joinText(const std::string& code) {
    return R"({"opt":"join","code":")" + code + R"("})";
}

std::string refusal(const std::string& reason, const std::string& retry = "") {
    return R"({"opt":"join","status":"refused","reason":")" + reason + "\"" +
           (retry.empty() ? "" : R"(,"retry":")" + retry + "\"") + "}";
}

std::string addWithCode(const std::string& code) {
    return R"({"opt":"add","desk":"4","site":"0","name":"me","code":")" + code + R"("})";
}

// One input to the open panel: "k<c>" the key for digit c, "kB" Backspace, "kE" Enter, "kR" the
// R key (the desk's ready key, nothing here), "t<c>" a tap on pad key c, "s<json>" a server
// answer fed to the hall.
struct JoinRow {
    const char* what;
    std::vector<std::string> inputs;
    std::vector<std::string> sent;
    std::string field;
    std::string message;
};

std::vector<std::string> keys(const std::string& digits) {
    std::vector<std::string> made;
    for (char c : digits) {
        made.push_back(std::string("k") + c);
    }
    return made;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

class PrivateDeskSceneTest : public SceneTest {
protected:
    // The link's offer goes with the test: later tests see a server without private desks.
    void TearDown() override {
        feed(R"({"opt":"hello","status":"ok","resume":"0"})");
        SceneTest::TearDown();
    }
    // A hall on a link whose hello offered private desks; nothing sent yet.
    CHallScene* privateHall() {
        CHallScene* hall = startHall();
        feed(kPrivateHello);
        step(0.2);
        takeSent();
        return hall;
    }
    void apply(const std::string& input) {
        const char c = input[1];
        if (input[0] == 't') {
            const Vec2 at = padKey(c);
            headless::tap(at.x, at.y);
        } else if (input[0] == 's') {
            feed(input.substr(1));
        } else if (c == 'B') {
            headless::typeKey(Key::KEY_BACKSPACE);
        } else if (c == 'E') {
            headless::typeKey(Key::KEY_ENTER);
        } else if (c == 'R') {
            headless::typeKey(Key::KEY_R);
        } else {
            headless::typeKey(static_cast<Key>(static_cast<int>(Key::KEY_0) + (c - '0')));
        }
    }
};

TEST_F(PrivateDeskSceneTest, JoinPanelTakesDigitsSendsWholeCodesAndShowsRefusals) {
    const std::string empty = "_ _ _ _ _ _";
    const JoinRow rows[] = {
        {"six keys and Enter send the code",
         keys("123456") + std::vector<std::string>{"kE"},
         {joinText("123456")},
         "1 2 3 4 5 6",
         JoinCode::kWaitingText},
        {"the pad does the same, leading zeros kept",
         {"t0", "t4", "t2", "t0", "t0", "t7", "tJ"},
         {joinText("042007")},
         "0 4 2 0 0 7",
         JoinCode::kWaitingText},
        {"a seventh digit is not taken",
         keys("1234567") + std::vector<std::string>{"kE"},
         {joinText("123456")},
         "1 2 3 4 5 6",
         JoinCode::kWaitingText},
        {"Backspace and 删除 take the last digit back",
         keys("129") + std::vector<std::string>{"kB", "t3", "tD", "kB"} + keys("23456") +
             std::vector<std::string>{"kE"},
         {joinText("123456")},
         "1 2 3 4 5 6",
         JoinCode::kWaitingText},
        {"five digits send nothing and ask for six",
         keys("12345") + std::vector<std::string>{"kE"},
         {},
         "1 2 3 4 5 _",
         JoinCode::kShortText},
        {"Enter twice sends the code once",
         keys("123456") + std::vector<std::string>{"kE", "kE"},
         {joinText("123456")},
         "1 2 3 4 5 6",
         JoinCode::kWaitingText},
        {"a wrong or expired code empties the field and says so",
         keys("123456") + std::vector<std::string>{"kE", "s" + refusal("wrong or expired code")},
         {joinText("123456")},
         empty,
         "牌桌号不对或已过期"},
        {"after a refusal the next code goes out",
         keys("123456") + std::vector<std::string>{"kE", "s" + refusal("wrong or expired code")} +
             keys("654321") + std::vector<std::string>{"kE"},
         {joinText("123456"), joinText("654321")},
         "6 5 4 3 2 1",
         JoinCode::kWaitingText},
        {"too many wrong codes says how long to wait",
         keys("123456") +
             std::vector<std::string>{"kE", "s" + refusal("too many wrong codes", "42")},
         {joinText("123456")},
         empty,
         "输错太多次，请42秒后再试"},
        {"a full desk says so",
         keys("123456") + std::vector<std::string>{"kE", "s" + refusal("desk full")},
         {joinText("123456")},
         empty,
         "这张牌桌已坐满"},
        {"Enter and other keys never reach the hall",
         {"kE", "kR", "kE"},
         {},
         empty,
         JoinCode::kShortText},
    };
    for (const JoinRow& row : rows) {
        CHallScene* hall = privateHall();
        HallProbe probe{*hall};
        const Vec2 join = kJoinButton;
        headless::tap(join.x, join.y);
        ASSERT_NE(probe.joinPanel(), nullptr) << row.what << ": 加入牌桌 builds the panel";
        ASSERT_TRUE(probe.joinPanel()->isOpen()) << row.what;
        for (const std::string& input : row.inputs) {
            apply(input);
        }
        step(0.05);
        EXPECT_EQ(takeSent(), row.sent) << row.what;
        JoinPanelProbe panel{*probe.joinPanel()};
        EXPECT_EQ(panel.field()->getString(), row.field) << row.what;
        EXPECT_EQ(panel.message()->getString(), row.message) << row.what;
        EXPECT_TRUE(probe.joinPanel()->isOpen()) << row.what;
        EXPECT_EQ(runningHall(), hall) << row.what << ": the hall was left";
    }
}

TEST_F(PrivateDeskSceneTest, EscapeClosesThePanelAndAnAcceptedCodeOpensTheDesk) {
    CHallScene* hall = privateHall();
    HallProbe probe{*hall};
    headless::tap(kJoinButton.x, kJoinButton.y);
    headless::typeKey(Key::KEY_1);
    headless::typeKey(Key::KEY_ESCAPE);
    EXPECT_FALSE(probe.joinPanel()->isOpen());
    headless::tap(kJoinButton.x, kJoinButton.y);
    EXPECT_EQ(JoinPanelProbe{*probe.joinPanel()}.field()->getString(), "_ _ _ _ _ _");

    feed(R"({"opt":"add","desk":"4","site":"1","name":"me","code":"777001"})");
    step(0.1);
    CDeskScene* desk = runningDesk();
    ASSERT_NE(desk, nullptr);
    CPrivateDeskBar* bar = DeskProbe{*desk}.privateBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(PrivateBarProbe{*bar}.code()->getString(), "牌桌号 777001");
    // Only the creator adds computer players.
    EXPECT_FALSE(PrivateBarProbe{*bar}.bots()->isVisible());
}

TEST_F(PrivateDeskSceneTest, ButtonsShowOnlyWhenTheHelloOffersPrivateDesks) {
    struct Row {
        const char* hello;
        bool shown;
    };
    const Row rows[] = {
        {R"({"opt":"hello","status":"ok","resume":"0","private":"1"})", true},
        {R"({"opt":"hello","status":"ok","resume":"0","talk":"1"})", false},  // an older server
        {R"({"opt":"hello","status":"ok","resume":"0","private":"1"})", true},
        {R"({"opt":"hello","status":"refused","reason":"bad token","private":"1"})", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hello);
        CHallScene* hall = startHall();
        feed(row.hello);
        step(0.2);
        HallProbe probe{*hall};
        EXPECT_EQ(probe.createDesk()->isVisible(), row.shown);
        EXPECT_EQ(probe.joinDesk()->isVisible(), row.shown);
        // Quick join stays where it was, whatever the server.
        EXPECT_EQ(probe.quickJoin()->getPosition(), Vec2(512, 384));
        headless::tap(kCreateButton.x, kCreateButton.y);
        const std::vector<std::string> sent = takeSent();
        EXPECT_EQ(std::count(sent.begin(), sent.end(), R"({"opt":"create"})"), row.shown ? 1 : 0);
    }
}

TEST_F(PrivateDeskSceneTest, ARefusedCreateFreesTheButtonsAndTheJoinPanelSaysWhy) {
    CHallScene* hall = privateHall();
    HallProbe probe{*hall};
    headless::tap(kCreateButton.x, kCreateButton.y);
    feed(R"({"opt":"create","status":"refused","reason":"too many private desks"})");
    step(0.1);
    EXPECT_TRUE(probe.quickJoin()->isEnabled());
    EXPECT_TRUE(probe.createDesk()->isEnabled());
    ASSERT_NE(probe.joinPanel(), nullptr);
    EXPECT_TRUE(probe.joinPanel()->isOpen());
    EXPECT_EQ(JoinPanelProbe{*probe.joinPanel()}.message()->getString(),
              "你的网络开的牌桌太多，请稍后再试");
}

TEST_F(PrivateDeskSceneTest, TheCreatorSeesTheCodeCopiesItAndAddsComputerPlayers) {
    CHallScene* hall = privateHall();
    headless::tap(kCreateButton.x, kCreateButton.y);
    EXPECT_EQ(takeSent(), std::vector<std::string>{R"({"opt":"create"})"});
    EXPECT_FALSE(HallProbe{*hall}.quickJoin()->isEnabled());
    EXPECT_FALSE(HallProbe{*hall}.createDesk()->isEnabled());

    feed(addWithCode("031415"));
    step(0.1);
    CDeskScene* desk = runningDesk();
    ASSERT_NE(desk, nullptr);
    PrivateBarProbe bar{*DeskProbe{*desk}.privateBar()};
    EXPECT_EQ(bar.code()->getString(), "牌桌号 031415");
    headless::tap(720, 690);
    EXPECT_EQ(getClipboardText(), "031415");
    EXPECT_TRUE(bar.copied()->isVisible());

    ASSERT_TRUE(bar.bots()->isVisible());
    headless::tap(300, 690);
    for (int level = 0; level < CPrivateDeskBar::kLevelCount; ++level) {
        EXPECT_TRUE(bar.level(level)->isVisible()) << level;
    }
    headless::tap(392, 645);  // 困难
    EXPECT_EQ(takeSent(),
              std::vector<std::string>{R"({"opt":"bots","desk":4,"site":0,"level":"hard"})"});
    EXPECT_FALSE(bar.level(2)->isVisible());

    // Four names: no free seat, so 加电脑 goes.
    feed(R"({"opt":"change","info":[{"name":"me","ready":"0"},{"name":"bot1","ready":"1"},)"
         R"({"name":"bot2","ready":"1"},{"name":"bot3","ready":"1"}]})");
    EXPECT_FALSE(bar.bots()->isVisible());
    feed(R"({"opt":"change","info":[{"name":"me","ready":"0"},{"name":"","ready":"0"},)"
         R"({"name":"","ready":"0"},{"name":"","ready":"0"}]})");
    EXPECT_TRUE(bar.bots()->isVisible());
}

TEST_F(PrivateDeskSceneTest, AResumeAtAPrivateDeskShowsItsCodeAndTheCreatorsButton) {
    struct Row {
        const char* resume;
        const char* code;  // as the bar shows it; nullptr: no bar
        bool bots;
    };
    const Row rows[] = {
        {R"({"opt":"resume","desk":"2","site":"0","name":"me","playing":"0","code":"271828",)"
         R"("creator":"1"})",
         "牌桌号 271828", true},
        {R"({"opt":"resume","desk":"2","site":"1","name":"me","playing":"0","code":"271828",)"
         R"("creator":"0"})",
         "牌桌号 271828", false},
        {R"({"opt":"resume","desk":"2","site":"1","name":"me","playing":"0"})", nullptr, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.resume);
        privateHall();
        feed(row.resume);
        step(0.1);
        CDeskScene* desk = runningDesk();
        ASSERT_NE(desk, nullptr);
        CPrivateDeskBar* bar = DeskProbe{*desk}.privateBar();
        if (row.code == nullptr) {
            EXPECT_EQ(bar, nullptr);
            continue;
        }
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(PrivateBarProbe{*bar}.code()->getString(), row.code);
        EXPECT_EQ(PrivateBarProbe{*bar}.bots()->isVisible(), row.bots);
    }
}
