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
const Vec2 kCloseButton(882, 670);
const std::vector<std::string> kRequests = {R"({"opt":"record"})", R"({"opt":"leaderboard"})"};

}  // namespace

class RecordPanelTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        CRecordPanel::book() = RecordBook{};
    }
    // A hall whose link's hello answer was `hello`, with the panel opened; nothing sent before.
    RecordPanelProbe openedAfter(const char* hello) {
        m_hall = startHall();
        feed(hello);
        takeSent();
        tapAt(kRecordButton);
        return RecordPanelProbe{*HallProbe{*m_hall}.recordPanel()};
    }
    static void tapAt(const Vec2& at) { headless::tap(at.x, at.y); }

    CHallScene* m_hall = nullptr;
};

TEST_F(RecordPanelTest, WithoutRecordsOfferedItShowsNoRecordsAndSendsNothing) {
    for (const char* hello : {R"({"opt":"hello","status":"ok","resume":"0"})",
                              R"({"opt":"hello","status":"refused","records":"1"})"}) {
        SCOPED_TRACE(hello);
        RecordPanelProbe probe = openedAfter(hello);
        ASSERT_TRUE(probe.panel.isOpen());
        EXPECT_EQ(probe.status()->getString(), "暂无记录");
        EXPECT_FALSE(probe.recordPage()->isVisible());
        tapAt(kLeaderboardTab);
        EXPECT_EQ(probe.status()->getString(), "暂无记录");
        EXPECT_FALSE(probe.leaderboardPage()->isVisible());
        EXPECT_TRUE(takeSent().empty());
    }
}

TEST_F(RecordPanelTest, OfferedItAsksOnceForEachAndShowsTheFigures) {
    RecordPanelProbe probe = openedAfter(R"({"opt":"hello","status":"ok","records":"1"})");
    EXPECT_EQ(takeSent(), kRequests);
    EXPECT_EQ(probe.status()->getString(), CRecordPanel::kWaitingText);

    feed(R"({"opt":"record","games":"3","wins":"2","draws":"0","losses":"1","points":"210",)"
         R"("rating":"1516","last":[{"when":"1796000000","result":"2","points":"130",)"
         R"("partner":"小明","opponents":"player8,player9"}]})");
    feed(R"({"opt":"leaderboard","top":[{"place":"1","name":"张三丰","rating":"1532",)"
         R"("games":"9"}],"place":"2"})");
    EXPECT_FALSE(probe.status()->isVisible());
    EXPECT_TRUE(probe.recordPage()->isVisible());
    EXPECT_EQ(probe.tally()->getString(), "对局 3   胜 2   平 0   负 1   胜率 67%");
    EXPECT_EQ(probe.score()->getString(), "总得分 210   等级分 1516");
    const char* game[] = {"大胜", "130", "小明", "player8, player9"};
    for (std::size_t column = 1; column < RecordBook::kGameColumns; ++column) {
        EXPECT_EQ(probe.game(0, column)->getString(), game[column - 1]);
    }
    EXPECT_EQ(probe.game(1, 3)->getString(), "");

    tapAt(kLeaderboardTab);
    EXPECT_TRUE(probe.leaderboardPage()->isVisible());
    EXPECT_EQ(probe.place()->getString(), "你的名次：第 2 名");
    EXPECT_EQ(probe.leader(0, 1)->getString(), "张三丰");
    EXPECT_FALSE(probe.rightHeading(0)->isVisible()) << "one player fills no right block";

    // Reopened within 1.5 s it shows the answers without asking; later it asks again.
    headless::typeKey(K::KEY_ESCAPE);
    EXPECT_FALSE(probe.panel.isOpen());
    tapAt(kRecordButton);
    EXPECT_TRUE(probe.recordPage()->isVisible());
    tapAt(kCloseButton);
    step(1.5);
    tapAt(kRecordButton);
    EXPECT_EQ(takeSent(), kRequests);
    EXPECT_EQ(probe.status()->getString(), CRecordPanel::kWaitingText);
}

TEST_F(RecordPanelTest, NoAnswerInThreeSecondsOrStatusNoneShowsNoRecords) {
    RecordPanelProbe probe = openedAfter(R"({"opt":"hello","status":"ok","records":"1"})");
    step(2.7);
    EXPECT_EQ(probe.status()->getString(), CRecordPanel::kWaitingText);
    step(0.4);
    EXPECT_EQ(probe.status()->getString(), "暂无记录");

    tapAt(kCloseButton);
    tapAt(kRecordButton);
    feed(R"({"opt":"record","status":"none"})");
    EXPECT_EQ(probe.status()->getString(), "暂无记录");
    EXPECT_TRUE(probe.status()->isVisible());
}

TEST_F(RecordPanelTest, EnterDoesNotPressQuickJoinWhileOpen) {
    RecordPanelProbe probe = openedAfter(R"({"opt":"hello","status":"ok"})");
    headless::typeKey(K::KEY_ENTER);
    headless::typeKey(K::KEY_KP_ENTER);
    EXPECT_TRUE(probe.panel.isOpen());
    EXPECT_TRUE(takeSent().empty());
    headless::tap(20, 20);  // off the board: closes, and reaches nothing below
    EXPECT_FALSE(probe.panel.isOpen());
    EXPECT_TRUE(takeSent().empty());
    headless::typeKey(K::KEY_ENTER);
    EXPECT_EQ(takeSent(), std::vector<std::string>{R"({"opt":"add"})"});
}
