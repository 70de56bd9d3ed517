// Presence and 托管 at the desk as a player meets them: the 离线 and 托管 tags by the names, the
// 托管 button and its key, the banner with 取消托管, the texts they send, and the local turn while
// the server plays the seat. What the desk shows follows the server's "presence" only.

#include "engine/backend/headless/Headless.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using K = EventKeyboard::KeyCode;

namespace {

using Strings = std::vector<std::string>;

const Vec2 kAuto(852, 738);        // left of the gear, on the return button's line
const Vec2 kCancelAuto(609, 150);  // the banner's right part
const std::string kAutoOn = R"({"opt":"auto","desk":3,"site":1,"on":1})";
const std::string kAutoOff = R"({"opt":"auto","desk":3,"site":1,"on":0})";

// "presence" with the away and auto flags of seats 0..3.
std::string presence(const std::array<const char*, 4>& away,
                     const std::array<const char*, 4>& autoPlay) {
    std::string out = R"({"opt":"presence","info":[)";
    for (std::size_t k = 0; k < 4; ++k) {
        out += std::string(k ? "," : "") + R"({"away":")" + away[k] + R"(","auto":")" +
               autoPlay[k] + R"("})";
    }
    return out + "]}";
}

std::string textOf(const Node* parent) {
    for (const Node* child : parent->getChildren()) {
        if (const auto* label = dynamic_cast<const Label*>(child)) {
            return label->getString();
        }
    }
    return "";
}

}  // namespace

class DeskAutoTest : public SceneTest {
protected:
    // Desk 3, seat 1, cards dealt, on a server that answered the hello (it knows 托管).
    DeskProbe gameOnANewServer(const std::string& hand = "8,12,13,40") {
        CDeskScene* desk = startDesk(3, 1);
        feed(R"({"opt":"hello","status":"ok","resume":"0"})");
        headless::tap(512, 170);  // ready
        feed(R"({"opt":"start","cards":")" + hand + R"("})");
        takeSent();
        headless::clearRecords();
        return DeskProbe{*desk};
    }
    static void tapAt(const Vec2& at) { headless::tap(at.x, at.y); }
};

TEST_F(DeskAutoTest, TagsStandByTheNamesWhilePresenceSaysSo) {
    DeskProbe probe = gameOnANewServer();
    struct Row {
        std::array<const char*, 4> away;
        std::array<const char*, 4> autoPlay;
    };
    const Row rows[] = {
        {{"0", "0", "1", "0"}, {"0", "0", "0", "1"}},
        {{"1", "0", "1", "0"}, {"0", "0", "1", "1"}},
        {{"0", "0", "0", "0"}, {"0", "0", "0", "0"}},
        {{"x", "2", "", "0"}, {"1", "0", "0", "-1"}},
    };
    for (const Row& row : rows) {
        feed(presence(row.away, row.autoPlay));
        for (int site = 0; site < 4; ++site) {
            SCOPED_TRACE(std::to_string(site) + " " + row.away[site] + "/" + row.autoPlay[site]);
            const st_player_info& seat = probe.seat(site);
            const bool away = std::atoi(row.away[site]) != 0;
            const bool autoPlay = std::atoi(row.autoPlay[site]) != 0;
            EXPECT_EQ(seat.away_tag->isVisible(), away);
            EXPECT_EQ(seat.auto_tag->isVisible(), autoPlay);
            EXPECT_EQ(seat.away_tag->getString(), "离线");
            EXPECT_EQ(seat.auto_tag->getString(), "托管");
            // By the name: on its line, right of its centre.
            EXPECT_EQ(seat.away_tag->getPositionY(), seat.name_label->getPositionY());
            EXPECT_GT(seat.away_tag->getPositionX(), seat.name_label->getPositionX());
            EXPECT_GT(seat.auto_tag->getPositionX(), seat.away_tag->getPositionX());
        }
    }
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(DeskAutoTest, TheButtonAndItsKeyAskTheBannerAndItsKeyGiveBack) {
    DeskProbe probe = gameOnANewServer();
    ASSERT_TRUE(probe.autoButton()->isVisible()) << "offered during a game";
    EXPECT_FALSE(probe.autoBanner()->isVisible());

    tapAt(kAuto);
    headless::typeKey(K::KEY_A);
    EXPECT_EQ(takeSent(), (Strings{kAutoOn, kAutoOn}));
    EXPECT_FALSE(probe.autoBanner()->isVisible()) << "only the server's word changes the desk";

    feed(presence({"0", "0", "0", "0"}, {"0", "1", "0", "0"}));
    EXPECT_TRUE(probe.localAuto());
    EXPECT_TRUE(probe.autoBanner()->isVisible());
    EXPECT_EQ(textOf(probe.autoBanner()), "托管中");
    EXPECT_TRUE(probe.cancelAutoButton()->isVisible());
    EXPECT_FALSE(probe.autoButton()->isVisible());
    EXPECT_TRUE(probe.seat(1).auto_tag->isVisible());

    tapAt(kCancelAuto);
    headless::typeKey(K::KEY_A);
    tapAt(kAuto);  // hidden: nothing
    EXPECT_EQ(takeSent(), (Strings{kAutoOff, kAutoOff}));
    EXPECT_TRUE(probe.autoBanner()->isVisible());

    feed(presence({"0", "0", "0", "0"}, {"0", "0", "0", "0"}));
    EXPECT_FALSE(probe.localAuto());
    EXPECT_FALSE(probe.autoBanner()->isVisible());
    EXPECT_TRUE(probe.autoButton()->isVisible());
}

TEST_F(DeskAutoTest, OfferedOnlyDuringAGameOnAServerThatAnsweredHello) {
    // Between games: neither the button nor its key.
    DeskProbe seated{*startDesk(3, 1)};
    feed(R"({"opt":"hello","status":"refused","reason":"bad token"})");
    EXPECT_FALSE(seated.autoButton()->isVisible());
    headless::typeKey(K::KEY_A);
    EXPECT_TRUE(takeSent().empty());

    // A game ends: the button goes with it.
    headless::tap(512, 170);
    takeSent();
    feed(R"({"opt":"start","cards":"8,12"})");
    EXPECT_TRUE(seated.autoButton()->isVisible()) << "a refused hello: the server knows 托管";
    feed(R"({"opt":"over","info":[{},{"result":"1"},{},{}]})");
    EXPECT_FALSE(seated.autoButton()->isVisible());
}

TEST_F(DeskAutoTest, AnOldServerIsNeverAskedForWhatItDoesNotKnow) {
    DeskProbe probe{*dealtDesk("8,12,13")};
    EXPECT_FALSE(probe.autoButton()->isVisible());
    headless::typeKey(K::KEY_A);
    tapAt(kAuto);
    EXPECT_TRUE(takeSent().empty());
}

// While the server plays the seat the local turn offers nothing and its countdown never acts;
// the server's play for the seat leaves the hand as any echo does; taken back in mid-turn, the
// turn's buttons return.
TEST_F(DeskAutoTest, TheLocalTurnBelongsToTheServerWhileInAuto) {
    DeskProbe probe = gameOnANewServer("8,12,13,40");
    feed(presence({"0", "0", "0", "0"}, {"0", "1", "0", "0"}));
    feed(gameMessage(0, "9", 1, 0));
    EXPECT_EQ(probe.turnSite(), 1);
    EXPECT_FALSE(probe.play()->isVisible());
    EXPECT_FALSE(probe.pass()->isVisible());
    EXPECT_FALSE(probe.hint()->isVisible());
    headless::typeKey(K::KEY_ENTER);
    headless::typeKey(K::KEY_BACKSPACE);
    step(33);
    EXPECT_TRUE(takeSent().empty()) << "neither keys nor the countdown act for the seat";
    EXPECT_EQ(probe.seat(1).countdown->getString(), "0");

    feed(gameMessage(1, "12", 2, 0, "3"));
    EXPECT_EQ(codesOf(probe.hand()), (std::vector<int>{8, 13, 40}));

    feed(gameMessage(3, "44", 1, 0));
    EXPECT_FALSE(probe.play()->isVisible());
    feed(presence({"0", "0", "0", "0"}, {"0", "0", "0", "0"}));
    EXPECT_TRUE(probe.play()->isVisible()) << "the turn is the player's again";
    EXPECT_TRUE(probe.pass()->isVisible());
    EXPECT_TRUE(probe.hint()->isVisible());
    headless::typeKey(K::KEY_BACKSPACE);
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"game","desk":3,"site":1,"cards":""})"});
}

// Coming back to a seat the server plays: the banner at once, no turn buttons.
TEST_F(DeskAutoTest, ARestoredSeatInAutoShowsTheBanner) {
    startHall();
    push(R"({"opt":"hello","status":"ok","resume":"1"})");
    push(R"({"opt":"resume","desk":"3","site":"1","name":"me","playing":"1","info":[)"
         R"({"name":"a","away":"1","surplus":"20"},{"name":"me","auto":"1","surplus":"2"},)"
         R"({"name":"c","surplus":"20"},{"name":"d","auto":"1","surplus":"20"}],)"
         R"("cards":"8,12,","now":"1","must":"1","left":"20000"})");
    headless::stepFrames(14);
    CDeskScene* desk = runningDesk();
    ASSERT_NE(desk, nullptr);
    DeskProbe probe{*desk};
    EXPECT_TRUE(probe.autoBanner()->isVisible());
    EXPECT_FALSE(probe.autoButton()->isVisible());
    EXPECT_FALSE(probe.play()->isVisible());
    EXPECT_TRUE(probe.seat(0).away_tag->isVisible());
    EXPECT_TRUE(probe.seat(3).auto_tag->isVisible());
    EXPECT_FALSE(probe.seat(2).auto_tag->isVisible());
}
