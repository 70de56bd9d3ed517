// The hall's record panel: it asks only a server that offers records, once per opening and not
// again within the server's rate, shows "暂无记录" when there is nothing to show, draws the
// answers' figures, and keeps Enter from the quick join below it.

#include "engine/backend/headless/Headless.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using K = EventKeyboard::KeyCode;

namespace {

const Vec2 kRecordButton(968, 738);  // top right of the hall
const Vec2 kLeaderboardTab(352, 670);
const Vec2 kRecordTab(200, 670);
const Vec2 kCloseButton(882, 670);
const std::string kRecordRequest = R"({"opt":"record"})";
const std::string kLeaderboardRequest = R"({"opt":"leaderboard"})";

const char* const kHelloWithRecords =
    R"({"opt":"hello","status":"ok","resume":"0","records":"1"})";
const char* const kRecordAnswer =
    R"({"opt":"record","games":"3","wins":"2","draws":"0","losses":"1","points":"210",)"
    R"("rating":"1516","last":[{"when":"1796000000","result":"2","points":"130",)"
    R"("partner":"小明","opponents":"player8,player9"},)"
    R"({"when":"1795990000","result":"-1","points":"40","partner":"player5","opponents":"a,b"}]})";
const char* const kLeaderboardAnswer =
    R"({"opt":"leaderboard","top":[{"place":"1","name":"张三丰","rating":"1532","games":"9"},)"
    R"({"place":"2","name":"me","rating":"1516","games":"3"}],"place":"2"})";

// How many of `sent` ask for records (the hall's periodic query may be among them).
int recordRequests(const std::vector<std::string>& sent) {
    int n = 0;
    for (const std::string& text : sent) {
        n += text == kRecordRequest || text == kLeaderboardRequest ? 1 : 0;
    }
    return n;
}

}  // namespace

class RecordPanelTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        CRecordPanel::book() = RecordBook{};
    }
    // A hall on a link whose hello answer did (or did not) offer records; nothing sent yet.
    RecordPanelProbe hallWithRecords(bool offered) {
        m_hall = startHall();
        feed(offered ? kHelloWithRecords : R"({"opt":"hello","status":"ok","resume":"0"})");
        takeSent();
        return RecordPanelProbe{*HallProbe{*m_hall}.recordPanel()};
    }
    static void tapAt(const Vec2& at) { headless::tap(at.x, at.y); }

    CHallScene* m_hall = nullptr;
};

TEST_F(RecordPanelTest, WithoutRecordsOfferedItShowsNoRecordsAndSendsNothing) {
    for (const char* hello : {R"({"opt":"hello","status":"ok","resume":"0"})",
                              R"({"opt":"hello","status":"ok","records":"0"})",
                              R"({"opt":"hello","status":"refused","records":"1"})"}) {
        SCOPED_TRACE(hello);
        CHallScene* hall = startHall();
        feed(hello);
        takeSent();
        RecordPanelProbe probe{*HallProbe{*hall}.recordPanel()};
        tapAt(kRecordButton);
        ASSERT_TRUE(probe.panel.isOpen());
        EXPECT_TRUE(probe.status()->isVisible());
        EXPECT_EQ(probe.status()->getString(), "暂无记录");
        EXPECT_FALSE(probe.recordPage()->isVisible());
        tapAt(kLeaderboardTab);
        EXPECT_EQ(probe.status()->getString(), "暂无记录");
        EXPECT_FALSE(probe.leaderboardPage()->isVisible());
        step(4);
        EXPECT_EQ(recordRequests(takeSent()), 0);
    }
}

TEST_F(RecordPanelTest, OfferedItAsksOnceForEachAndShowsTheFigures) {
    RecordPanelProbe probe = hallWithRecords(true);
    tapAt(kRecordButton);
    EXPECT_EQ(takeSent(), (std::vector<std::string>{kRecordRequest, kLeaderboardRequest}));
    EXPECT_EQ(probe.status()->getString(), CRecordPanel::kWaitingText);
    EXPECT_TRUE(probe.status()->isVisible());

    feed(kRecordAnswer);
    feed(kLeaderboardAnswer);
    EXPECT_FALSE(probe.status()->isVisible());
    EXPECT_TRUE(probe.recordPage()->isVisible());
    EXPECT_EQ(probe.tally()->getString(), "对局 3   胜 2   平 0   负 1   胜率 67%");
    EXPECT_EQ(probe.score()->getString(), "总得分 210   等级分 1516");
    EXPECT_EQ(probe.game(0, 1)->getString(), "大胜");
    EXPECT_EQ(probe.game(0, 2)->getString(), "130");
    EXPECT_EQ(probe.game(0, 3)->getString(), "小明");
    EXPECT_EQ(probe.game(0, 4)->getString(), "player8, player9");
    EXPECT_EQ(probe.game(1, 1)->getString(), "负");
    EXPECT_EQ(probe.game(2, 3)->getString(), "");

    tapAt(kLeaderboardTab);
    EXPECT_FALSE(probe.recordPage()->isVisible());
    EXPECT_TRUE(probe.leaderboardPage()->isVisible());
    EXPECT_EQ(probe.place()->getString(), "你的名次：第 2 名");
    EXPECT_EQ(probe.leader(0, 1)->getString(), "张三丰");
    EXPECT_EQ(probe.leader(1, 2)->getString(), "1516");
    EXPECT_EQ(probe.leader(2, 0)->getString(), "");
    EXPECT_EQ(probe.rightHeading(0)->getString(), "名次");
    EXPECT_FALSE(probe.rightHeading(0)->isVisible()) << "two players fill no right block";
    EXPECT_TRUE(takeSent().empty());
}

// The server answers one of each a second: a panel opened again within 1.5 s shows what it has;
// a later one asks again. Every new hall shares the answers.
TEST_F(RecordPanelTest, ReopenedSoonItShowsTheAnswersWithoutAsking) {
    RecordPanelProbe probe = hallWithRecords(true);
    tapAt(kRecordButton);
    feed(kRecordAnswer);
    headless::typeKey(K::KEY_ESCAPE);
    EXPECT_FALSE(probe.panel.isOpen());
    tapAt(kRecordButton);
    // Both openings together sent one of each.
    EXPECT_EQ(takeSent(), (std::vector<std::string>{kRecordRequest, kLeaderboardRequest}));
    EXPECT_EQ(probe.tally()->getString(), "对局 3   胜 2   平 0   负 1   胜率 67%");
    EXPECT_TRUE(probe.recordPage()->isVisible());

    tapAt(kCloseButton);
    EXPECT_FALSE(probe.panel.isOpen());
    step(1.6);
    RecordPanelProbe next = hallWithRecords(true);
    tapAt(kRecordButton);
    EXPECT_EQ(takeSent(), (std::vector<std::string>{kRecordRequest, kLeaderboardRequest}));
    EXPECT_EQ(next.status()->getString(), CRecordPanel::kWaitingText);
}

TEST_F(RecordPanelTest, NoAnswerOrStatusNoneShowsNoRecords) {
    RecordPanelProbe probe = hallWithRecords(true);
    tapAt(kRecordButton);
    step(2.5);
    EXPECT_EQ(probe.status()->getString(), CRecordPanel::kWaitingText);
    step(0.7);
    EXPECT_EQ(probe.status()->getString(), "暂无记录");
    EXPECT_TRUE(probe.status()->isVisible());

    tapAt(kCloseButton);
    tapAt(kRecordButton);
    takeSent();
    feed(R"({"opt":"record","status":"none"})");
    EXPECT_EQ(probe.status()->getString(), "暂无记录");
    feed(kLeaderboardAnswer);
    tapAt(kLeaderboardTab);
    EXPECT_FALSE(probe.status()->isVisible());
    EXPECT_EQ(probe.leader(0, 1)->getString(), "张三丰");
    tapAt(kRecordTab);
    EXPECT_EQ(probe.status()->getString(), "暂无记录");
}

// Answers that come while the panel is closed are dropped like any other kind the hall ignores.
TEST_F(RecordPanelTest, AnswersToAClosedPanelAreDropped) {
    RecordPanelProbe probe = hallWithRecords(true);
    feed(kRecordAnswer);
    tapAt(kRecordButton);
    EXPECT_EQ(probe.status()->getString(), CRecordPanel::kWaitingText);
    EXPECT_EQ(probe.tally()->getString(), "");
}

TEST_F(RecordPanelTest, EnterDoesNotPressQuickJoinWhileOpen) {
    RecordPanelProbe probe = hallWithRecords(false);
    tapAt(kRecordButton);
    for (K key : {K::KEY_ENTER, K::KEY_KP_ENTER}) {
        headless::typeKey(key);
    }
    EXPECT_TRUE(probe.panel.isOpen());
    EXPECT_TRUE(HallProbe{*m_hall}.quickJoin()->isEnabled());
    EXPECT_TRUE(takeSent().empty());
    // A touch off the board closes the panel and reaches nothing below.
    headless::tap(20, 20);
    EXPECT_FALSE(probe.panel.isOpen());
    EXPECT_TRUE(takeSent().empty());
    headless::typeKey(K::KEY_ENTER);
    EXPECT_EQ(takeSent(), std::vector<std::string>{R"({"opt":"add"})"});
}
