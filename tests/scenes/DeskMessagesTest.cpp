// The desk's reaction to each kind of server message.

#include "cards/CardCode.h"
#include "engine/backend/headless/Headless.h"
#include "scenes/common/CardSprite.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/ResourceShadow.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

namespace {

using Strings = std::vector<std::string>;

}  // namespace

class DeskMessagesTest : public SceneTest {
protected:
    // A desk at seat `mySite` with a game running and a dealt hand.
    DeskProbe startGame(int mySite, const std::string& hand = "8,9,10,11,12,13") {
        CDeskScene* desk = startDesk(3, mySite);
        feed(R"({"opt":"start","cards":")" + hand + R"("})");
        takeSent();
        headless::clearRecords();
        return DeskProbe{*desk};
    }
};

TEST_F(DeskMessagesTest, ChangeNamesSeatsShowsOnlyReadyOneAndResetsEmptySeats) {
    DeskProbe probe{*startDesk(1, 0)};
    feed(gameMessage(2, "40,41", -1, 0, "20", 35));
    feed(gameMessage(2, "", -1, 0));  // seat 2 now also shows its pass marker
    ASSERT_TRUE(probe.seat(2).pass_label->isVisible());
    headless::clearRecords();

    feed(R"({"opt":"change","info":[{"name":"ann","ready":"1"},{"name":"bob","ready":"2"},)"
         R"({"name":"","ready":"0"},{"name":"dan","ready":"1"}]})");
    const Strings names = {"ann", "bob", "", "dan"};
    const bool ready[] = {true, false, false, true};
    for (int site = 0; site < 4; ++site) {
        SCOPED_TRACE(site);
        EXPECT_EQ(probe.seat(site).name_label->getString(), names[static_cast<std::size_t>(site)]);
        EXPECT_EQ(probe.seat(site).ready_sprite->isVisible(), ready[site]);
    }
    // The empty seat was reset: its markers hidden, every score "0", its cards left on the table.
    EXPECT_FALSE(probe.seat(2).pass_label->isVisible());
    EXPECT_EQ(probe.tableScore()->getString(), "0");
    EXPECT_EQ(codesOf(probe.seat(2).played), (std::vector<int>{40, 41}));
    EXPECT_TRUE(headless::effectsPlayed().empty());
}

TEST_F(DeskMessagesTest, StartDealsTheHandSortedAndRunsTheGame) {
    DeskProbe probe{*startDesk(1, 0)};
    feed(R"({"opt":"change","info":[{"name":"a","ready":"1"},{"name":"b","ready":"1"},)"
         R"({"name":"c","ready":"1"},{"name":"d","ready":"1"}]})");
    headless::clearRecords();
    feed(R"({"opt":"start","cards":"53,0,8,4,52,9,8"})");
    EXPECT_TRUE(probe.gameRunning());
    EXPECT_EQ(codesOf(probe.hand()), (std::vector<int>{0, 4, 8, 8, 9, 52, 53}));
    for (int site = 0; site < 4; ++site) {
        EXPECT_FALSE(probe.seat(site).ready_sprite->isVisible());
    }
    EXPECT_EQ(headless::effectsPlayed(), Strings{"sound/bg.wav"});
}

// A server that deals again without the ready press that clears the desk: the new deal is the
// whole hand, laid out as one row, and the old cards leave the layer.
TEST_F(DeskMessagesTest, ASecondDealReplacesTheHand) {
    DeskProbe probe = startGame(0, "40,41,42");
    headless::tap(probe.hand()[1]->getPositionX(), 45);  // one old card raised and last touched
    ASSERT_NE(probe.lastTouched(), nullptr);
    feed(R"({"opt":"start","cards":"9,8"})");
    EXPECT_EQ(codesOf(probe.hand()), (std::vector<int>{8, 9}));
    EXPECT_EQ(probe.lastTouched(), nullptr);
    for (std::size_t i = 0; i < probe.hand().size(); ++i) {
        const CardSprite* card = probe.hand()[i];
        const float w = card->getContentSize().width;
        EXPECT_EQ(card->getPosition(), Vec2(512 - 9 + 18.0f * i + w / 4, 45)) << i;
        EXPECT_FALSE(card->m_selected) << i;
    }
    std::size_t cardsOnTheLayer = 0;
    for (const Node* child : probe.desk.getChildren()) {
        cardsOnTheLayer += dynamic_cast<const CardSprite*>(child) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(cardsOnTheLayer, 2u);
}

// A list longer than the game's 108 cards is cut there: every code would become a sprite.
TEST_F(DeskMessagesTest, CardListsShowAtMostTheGamesCards) {
    std::string many;
    for (int k = 0; k < 300; ++k) many += std::to_string(k % 54) + ",";
    DeskProbe probe = startGame(0, many);
    EXPECT_EQ(probe.hand().size(), kGameCards);
    feed(gameMessage(1, many, 2, 0));
    EXPECT_EQ(probe.seat(1).played.size(), kGameCards);
    EXPECT_EQ(probe.lastPlay().size(), kGameCards);
}

TEST_F(DeskMessagesTest, FirstTurnOnlySetsTheTableScoreAndStartsTheCountdown) {
    DeskProbe probe = startGame(0);
    feed(gameMessage(-1, "", 2, 1, "", 15));
    EXPECT_EQ(probe.tableScore()->getString(), "15");
    EXPECT_EQ(probe.turnSite(), 2);
    EXPECT_TRUE(probe.seat(2).countdown->isVisible());
    EXPECT_EQ(probe.seat(2).countdown->getString(), "30");
    EXPECT_FALSE(probe.play()->isVisible());
    EXPECT_TRUE(headless::effectsPlayed().empty());
}

TEST_F(DeskMessagesTest, ShownPlaysLieInTheSeatsRowWithTheirSounds) {
    struct Case {
        const char* cards;
        std::vector<int> codes;
        Strings sounds;
    };
    const Case cases[] = {
        {"9,8", {9, 8}, {"sound/cp.wav"}},
        {"8,8,8", {8, 8, 8}, {"sound/cp.wav", "sound/at.wav"}},
        {"11,8,9,10", {11, 8, 9, 10}, {"sound/cp.wav", "sound/boom.mp3"}},
        {"", {}, {"sound/by.mp3"}},
    };
    DeskProbe probe = startGame(0);
    feed(gameMessage(-1, "", 1, 1));
    probe.lastPlay() = {30};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cards);
        headless::clearRecords();
        feed(gameMessage(1, c.cards, 2, 0, "12"));
        st_player_info& right = probe.seat(1);
        EXPECT_EQ(headless::effectsPlayed(), c.sounds);
        EXPECT_EQ(right.count_label->getString(), "12");
        EXPECT_FALSE(right.countdown->isVisible());
        EXPECT_EQ(codesOf(right.played), c.codes);
        EXPECT_EQ(right.pass_label->isVisible(), c.codes.empty());
        for (std::size_t k = 0; k < right.played.size(); ++k) {
            const CardSprite* card = right.played[k];
            EXPECT_EQ(card->getPosition(),
                      Vec2(512 + card->getContentSize().width + 18.0f * k, 384));
            EXPECT_EQ(card->getLocalZOrder(), 0);
        }
        // A pass keeps the play to beat; a play replaces it, in the order received.
        const std::vector<int> kept = {11, 8, 9, 10};
        EXPECT_EQ(probe.lastPlay(), c.codes.empty() ? kept : c.codes);
        feed(gameMessage(-1, "", 1, 0));  // the right seat's next turn takes its cards away
        EXPECT_TRUE(right.played.empty());
        EXPECT_FALSE(right.pass_label->isVisible());
    }
}

TEST_F(DeskMessagesTest, OverMarkerOnlyForSurplusExactlyZero) {
    DeskProbe probe = startGame(0);
    for (const char* surplus : {"00", "", " 0", "1"}) {
        feed(gameMessage(3, "8", 1, 0, surplus));
        EXPECT_FALSE(probe.seat(3).over_label->isVisible()) << surplus;
    }
    feed(gameMessage(3, "9", 1, 0, "0"));
    EXPECT_TRUE(probe.seat(3).over_label->isVisible());
}

TEST_F(DeskMessagesTest, NewLeadClearsTheWholeTableAndOffersOnlyPlay) {
    DeskProbe probe = startGame(0, "8,50");
    feed(gameMessage(1, "40", 2, 0));
    feed(gameMessage(2, "", 3, 0));
    feed(gameMessage(3, "", 0, 0));
    headless::tap(probe.hand()[1]->getPositionX(), 45);  // raise the king
    headless::tap(412, 170);                             // and play it
    ASSERT_EQ(takeSent().size(), 1u);

    feed(gameMessage(0, "50", 0, 1));  // nobody beat it: the local seat leads again
    for (int site = 0; site < 4; ++site) {
        EXPECT_TRUE(probe.seat(site).played.empty()) << site;
        EXPECT_FALSE(probe.seat(site).pass_label->isVisible()) << site;
    }
    EXPECT_TRUE(probe.lastPlay().empty());
    EXPECT_TRUE(probe.play()->isVisible());
    EXPECT_TRUE(probe.play()->isEnabled());
    EXPECT_FALSE(probe.pass()->isVisible());
    EXPECT_EQ(probe.turnSite(), 0);
}

TEST_F(DeskMessagesTest, LocalTurnWithAPlayToBeatOffersPassAndPlay) {
    DeskProbe probe = startGame(2);
    feed(gameMessage(1, "9", 2, 0));
    EXPECT_TRUE(probe.pass()->isVisible());
    EXPECT_TRUE(probe.pass()->isEnabled());
    EXPECT_TRUE(probe.play()->isVisible());
    EXPECT_TRUE(probe.play()->isEnabled());
    EXPECT_EQ(probe.lastPlay(), std::vector<int>{9});
    EXPECT_EQ(probe.seat(2).countdown->getString(), "30");
}

// The server may move the turn on without the local player's press (its own timeout): what was
// offered is withdrawn, and a press then sends nothing and keeps the hand.
TEST_F(DeskMessagesTest, AnotherSeatsTurnWithdrawsPassAndPlay) {
    DeskProbe probe = startGame(0);
    feed(gameMessage(3, "9", 0, 0));
    ASSERT_TRUE(probe.play()->isVisible());
    headless::tap(probe.hand()[2]->getPositionX(), 45);
    feed(gameMessage(0, "", 1, 0));
    EXPECT_FALSE(probe.pass()->isVisible());
    EXPECT_FALSE(probe.pass()->isEnabled());
    EXPECT_FALSE(probe.play()->isVisible());
    EXPECT_FALSE(probe.play()->isEnabled());
    headless::tap(412, 170);
    headless::tap(612, 170);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(probe.hand().size(), 6u);
}

// A seat that acted has ended its turn, even when the message names no next seat: the local
// countdown, hidden by the play, must not run out later and act for the player.
TEST_F(DeskMessagesTest, ALocalPlayWithNoNextSeatEndsTheLocalTurn) {
    DeskProbe probe = startGame(0);
    feed(gameMessage(3, "9", 0, 0));
    ASSERT_EQ(probe.turnSite(), 0);
    feed(gameMessage(0, "", -1, 0));
    EXPECT_EQ(probe.turnSite(), -1);
    step(35);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(probe.hand().size(), 6u);
}

TEST_F(DeskMessagesTest, ScoresGoByTheParityOfTheLocalSeat) {
    for (int mySite : {0, 1, 2, 3}) {
        SCOPED_TRACE(mySite);
        DeskProbe probe{*startDesk(1, mySite)};
        feed(R"({"opt":"score","p0":"100","p1":"-5x"})");
        const bool even = mySite % 2 == 0;
        EXPECT_EQ(probe.ownScore()->getString(), even ? "100" : "-5x");
        EXPECT_EQ(probe.otherScore()->getString(), even ? "-5x" : "100");
    }
}

TEST_F(DeskMessagesTest, OverShowsTheLocalResultAndOffersReadyAgain) {
    struct Case {
        int result;
        const char* text;
        const char* title;
        Strings sounds;
    };
    const Case cases[] = {
        {3, "恭喜，赢3局！", "游戏结束，你赢了！", {"sound/win.mp3"}},
        {-1, "很遗憾，输-1局！", "游戏结束，你输了！", {"sound/lose.mp3"}},
        {0, "平局，再接再厉！", "游戏结束，平局！", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        DeskProbe probe = startGame(1);
        feed(gameMessage(0, "9", 1, 0));  // the local turn ...
        feed(gameMessage(1, "", 3, 0));   // ... passed; seat 3's countdown runs
        headless::clearRecords();
        const std::string r = std::to_string(c.result);
        feed(R"({"opt":"over","info":[{"result":"9"},{"result":")" + r +
             R"("},{"result":"9"},{"result":"-9"}]})");

        ASSERT_EQ(headless::messageBoxes().size(), 1u);
        EXPECT_EQ(headless::messageBoxes()[0].text, c.text);
        EXPECT_EQ(headless::messageBoxes()[0].title, c.title);
        EXPECT_EQ(headless::effectsPlayed(), c.sounds);
        EXPECT_FALSE(probe.gameRunning());
        EXPECT_EQ(probe.turnSite(), -1);
        EXPECT_TRUE(probe.ready()->isVisible());
        EXPECT_TRUE(probe.ready()->isEnabled());
        EXPECT_FALSE(probe.seat(1).pass_label->isVisible());
        EXPECT_EQ(probe.tableScore()->getString(), "0");
        EXPECT_EQ(probe.hand().size(), 6u);
        EXPECT_EQ(probe.seat(0).played.size(), 1u);
        // Seat 3's countdown stays shown but stops.
        const std::string left = probe.seat(3).countdown->getString();
        step(3.0);
        EXPECT_TRUE(probe.seat(3).countdown->isVisible());
        EXPECT_EQ(probe.seat(3).countdown->getString(), left);
    }
}

TEST_F(DeskMessagesTest, RunReportsTheRunawayAndEndsTheGame) {
    DeskProbe probe = startGame(0);
    headless::tap(1024 - probe.returnButton()->getContentSize().width / 2,
                  768 - probe.returnButton()->getContentSize().height / 2);
    ASSERT_TRUE(probe.leaveArmed());
    headless::clearRecords();
    feed(R"({"opt":"run","site":"1","name":"bob"})");
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "1->bob:-10\r\n");
    EXPECT_EQ(headless::messageBoxes()[0].title, "玩家逃跑，游戏结束");
    EXPECT_FALSE(probe.gameRunning());
    EXPECT_FALSE(probe.leaveArmed());
    EXPECT_TRUE(probe.ready()->isVisible());
    EXPECT_TRUE(headless::effectsPlayed().empty());
}

TEST_F(DeskMessagesTest, TimeoutGoesBackToTheHallWithoutAWord) {
    startGame(0);
    feed(R"({"opt":"timeout"})");
    headless::stepFrames(1);
    EXPECT_NE(runningHall(), nullptr);
    EXPECT_TRUE(headless::messageBoxes().empty());
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"query"})"});  // the new hall's own query
}

TEST_F(DeskMessagesTest, TimeoutKeepsAUsableDeskWhenNoHallCanBeMade) {
    CDeskScene* desk = startDesk(1, 0);
    ResourceShadow broken({"add_desk_fast.png", "add_desk_fast_press.png"});
    feed(R"({"opt":"timeout"})");
    headless::stepFrames(1);
    ASSERT_EQ(runningDesk(), desk);
    feed(R"({"opt":"start","cards":"8,9"})");
    EXPECT_EQ(DeskProbe{*desk}.hand().size(), 2u);
}

TEST_F(DeskMessagesTest, OtherKindsAreDropped) {
    CDeskScene* desk = startDesk(1, 0);
    feed(R"({"opt":"query","online":"5","version":"28"})");
    feed(R"({"opt":"add","desk":"2","site":"1","name":"x"})");
    feed(R"({"opt":"GAME","per":"1","now":"1"})");
    feed(R"({"opt":"record","games":"3","last":[{"when":"1","partner":"p"}]})");
    feed(R"({"opt":"leaderboard","top":[{"place":"1","name":"a"}],"place":"1"})");
    headless::stepFrames(1);
    EXPECT_EQ(runningDesk(), desk);
    EXPECT_EQ(DeskProbe{*desk}.turnSite(), -1);
    EXPECT_TRUE(takeSent().empty());
}

// Seat numbers outside 0..3 name no seat: that part of the message is ignored.
TEST_F(DeskMessagesTest, SeatsOutsideTheTableAreIgnored) {
    DeskProbe probe = startGame(0);
    for (int bad : {4, -2, 100}) {
        SCOPED_TRACE(bad);
        feed(gameMessage(-1, "", 1, 0));
        const std::vector<int> lastPlay = probe.lastPlay();
        feed(gameMessage(bad, "9", bad, 1, "3", 25));
        EXPECT_EQ(probe.tableScore()->getString(), "25");
        EXPECT_EQ(probe.turnSite(), 1);
        EXPECT_EQ(probe.lastPlay(), lastPlay);
        feed(gameMessage(bad, "9", 2, 0));  // a bad `per` still lets the next turn start
        EXPECT_EQ(probe.turnSite(), 2);
        const std::size_t shown = probe.seat(3).played.size();
        feed(gameMessage(3, "10", bad, 0));  // a good `per` is shown despite a bad `now`
        EXPECT_EQ(probe.seat(3).played.size(), shown + 1);
        EXPECT_EQ(probe.turnSite(), 2);
    }
    EXPECT_EQ(probe.siteMap().size(), 4u);
}
