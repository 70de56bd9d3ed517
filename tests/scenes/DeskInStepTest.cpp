// The desk stays in step with the server: the hand after the server's word on the local seat's
// plays, the countdown after stalls and a minimised window, and what a finished game leaves.

#include "cards/CardCode.h"
#include "engine/backend/headless/Headless.h"
#include "scenes/common/CardSprite.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

namespace {

using Codes = std::vector<int>;
using Strings = std::vector<std::string>;

const Vec2 kReady(512, 170);
const Vec2 kPlay(412, 170);
const Vec2 kPass(612, 170);

}  // namespace

class DeskInStepTest : public SceneTest {
protected:
    DeskProbe startGame(const std::string& hand) { return DeskProbe{*dealtDesk(hand)}; }
    // Raises hand card `index` through a touch on its uncovered left strip.
    static void raise(const DeskProbe& probe, std::size_t index) {
        tapCard(probe.hand().at(index));
    }
    // Every hand card rests in the row, in order, 18 points apart.
    static void expectLaidOut(const DeskProbe& probe) {
        const auto& hand = probe.hand();
        for (std::size_t i = 0; i < hand.size(); ++i) {
            const float w = hand[i]->getContentSize().width;
            const float x = 512 - 9.0f * (static_cast<float>(hand.size()) - 1) + 18.0f * i + w / 4;
            EXPECT_EQ(hand[i]->getPosition(), Vec2(x, 45)) << "card " << i;
        }
    }
};

// ---- The hand after the server's word on the local seat -----------------------------------------

TEST_F(DeskInStepTest, CardsTheServerPlaysForTheSeatLeaveTheHand) {
    struct Case {
        const char* name;
        const char* hand;
        const char* played;  // what the server says seat 1 played, with seat 1 never pressing
        Codes left;
    };
    const Case cases[] = {
        {"one card", "8,9,12", "8", {9, 12}},
        {"one of two copies", "8,8,9", "8", {8, 9}},
        {"both copies", "8,8,9", "8,8", {9}},
        {"a card the hand lacks", "8,9", "40", {8, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeskProbe probe = startGame(c.hand);
        feed(gameMessage(1, c.played, 2, 0));
        EXPECT_EQ(codesOf(probe.hand()), c.left);
        EXPECT_EQ(codesOf(probe.seat(1).played), parseCardList(c.played));
        expectLaidOut(probe);
        EXPECT_EQ(headless::effectsPlayed().front(), "sound/cp.wav");
    }
}

TEST_F(DeskInStepTest, TheEchoOfTheOwnPlayChangesNothingAndDoesNotSoundTwice) {
    struct Case {
        const char* name;
        const char* hand;
        std::vector<std::size_t> raised;
        const char* echoed;  // the server's order may differ from the one sent
        Strings pressSounds;
        Strings echoSounds;
    };
    const Case cases[] = {
        {"a pair", "4,5,9", {0, 1}, "5,4", {"sound/cp.wav"}, {}},
        {"a bomb", "8,9,10,11,30", {0, 1, 2, 3}, "8,9,10,11", {"sound/cp.wav"}, {"sound/boom.mp3"}},
        {"four same cards",
         "8,8,8,8,30",
         {0, 1, 2, 3},
         "8,8,8,8",
         {"sound/cp.wav", "sound/3.mp3"},
         {"sound/at.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeskProbe probe = startGame(c.hand);
        feed(gameMessage(0, "", 1, 1));
        for (std::size_t i : c.raised) {
            raise(probe, i);
        }
        headless::clearRecords();
        headless::tap(kPlay.x, kPlay.y);
        EXPECT_EQ(headless::effectsPlayed(), c.pressSounds);
        const Codes kept = codesOf(probe.hand());
        raise(probe, 0);  // the player picks the next play meanwhile

        headless::clearRecords();
        feed(gameMessage(1, c.echoed, 2, 0));
        EXPECT_EQ(codesOf(probe.hand()), kept);
        EXPECT_TRUE(probe.hand().front()->m_selected) << "the echo lays nothing out again";
        EXPECT_EQ(headless::effectsPlayed(), c.echoSounds);
    }
}

// The server did not take the play (refused, or its own turn timer ran first): what it says the
// seat did replaces the play the desk sent.
TEST_F(DeskInStepTest, APlayTheServerDidNotTakeComesBack) {
    struct Case {
        const char* name;
        const char* echoed;
        Codes hand;
    };
    const Case cases[] = {
        {"the server passed for the seat", "", {8, 9, 9, 12}},
        {"the server played other cards", "12", {8, 9, 9}},
        {"the server played one of the copies", "9", {8, 9, 12}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeskProbe probe = startGame("8,9,9,12");
        feed(gameMessage(0, "", 1, 1));
        raise(probe, 1);
        raise(probe, 2);
        headless::tap(kPlay.x, kPlay.y);
        ASSERT_EQ(takeSent(), Strings{R"({"opt":"game","desk":3,"site":1,"cards":"9,9,"})"});
        ASSERT_EQ(codesOf(probe.hand()), (Codes{8, 12}));

        headless::clearRecords();
        feed(gameMessage(1, c.echoed, 2, 0));
        EXPECT_EQ(codesOf(probe.hand()), c.hand);
        expectLaidOut(probe);
        EXPECT_EQ(headless::effectsPlayed().front(),
                  c.echoed[0] == '\0' ? "sound/by.mp3" : "sound/cp.wav");
    }
}

TEST_F(DeskInStepTest, TheExpiryLeadIsPendingUntilTheServerSpeaks) {
    DeskProbe probe = startGame("8,9,12");
    feed(gameMessage(0, "", 1, 1));
    step(32);
    ASSERT_EQ(takeSent(), Strings{R"({"opt":"game","desk":3,"site":1,"cards":"8"})"});
    headless::clearRecords();
    // The automatic lead played no sound, so its echo does.
    feed(gameMessage(1, "8", 2, 0));
    EXPECT_EQ(codesOf(probe.hand()), (Codes{9, 12}));
    EXPECT_EQ(headless::effectsPlayed(), Strings{"sound/cp.wav"});
}

TEST_F(DeskInStepTest, TheEndOfAGameGivesBackAPlayTheServerNeverTook) {
    for (const char* end : {R"({"opt":"run","site":"2","name":"x"})",
                            R"({"opt":"over","info":[{},{"result":"1"},{},{}]})"}) {
        SCOPED_TRACE(end);
        DeskProbe probe = startGame("8,9,12");
        feed(gameMessage(0, "", 1, 1));
        raise(probe, 2);
        headless::tap(kPlay.x, kPlay.y);
        ASSERT_EQ(codesOf(probe.hand()), (Codes{8, 9}));
        feed(end);
        EXPECT_EQ(codesOf(probe.hand()), (Codes{8, 9, 12}));
        expectLaidOut(probe);
        // The next deal starts from nothing pending: its echo takes only what it names.
        headless::tap(kReady.x, kReady.y);
        feed(R"({"opt":"start","cards":"20,21"})");
        feed(gameMessage(1, "20", 2, 0));
        EXPECT_EQ(codesOf(probe.hand()), (Codes{21}));
    }
}

// ---- The countdown counts real time
// --------------------------------------------------------------

TEST_F(DeskInStepTest, TheLocalCountdownMovesOnByTheWholeStall) {
    DeskProbe probe = startGame("8,9,12");
    feed(gameMessage(0, "40", 1, 0));
    LabelAtlas* countdown = probe.seat(1).countdown;
    // Just past a tick of the free-running 1 s timer, then half a second.
    ASSERT_TRUE(stepUntil([&] { return countdown->getString() == "29"; }, 1.5));
    step(1.5);
    ASSERT_EQ(countdown->getString(), "28");

    // A modal box held the main loop for ten seconds.
    headless::clearRecords();
    headless::stall(10);
    step(0.5);
    EXPECT_EQ(countdown->getString(), "18");
    EXPECT_TRUE(headless::effectsPlayed().empty());

    // A stall across the warning seconds warns once.
    headless::stall(12);
    step(0.5);
    EXPECT_EQ(countdown->getString(), "6");
    EXPECT_EQ(headless::effectsPlayed(), Strings{"sound/jg.wav"});
    EXPECT_TRUE(takeSent().empty());

    // Time that ran out during a stall expires the turn at once.
    headless::stall(20);
    step(0.5);
    EXPECT_FALSE(countdown->isVisible());
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"game","desk":3,"site":1,"cards":""})"});
    EXPECT_EQ(probe.turnSite(), -1);
}

TEST_F(DeskInStepTest, AMinimisedWindowKeepsTheClockAndTheMessagesGoing) {
    DeskProbe probe = startGame("8,9,12");
    feed(gameMessage(0, "40", 1, 0));
    const int drawn = headless::framesDrawn();
    Director::getInstance()->pauseDrawing();
    push(gameMessage(2, "", 3, 0));  // arrives while minimised
    step(10);
    EXPECT_EQ(probe.turnSite(), 3) << "the message was handled";
    EXPECT_LE(std::stoi(probe.seat(3).countdown->getString()), 21);
    EXPECT_EQ(headless::framesDrawn(), drawn) << "nothing is drawn while minimised";

    Director::getInstance()->resumeDrawing();
    step(0.1);
    EXPECT_GT(headless::framesDrawn(), drawn);
}

TEST_F(DeskInStepTest, TheLocalTurnRunsOutWhileMinimised) {
    DeskProbe probe = startGame("8,9,12");
    feed(gameMessage(0, "40", 1, 0));
    Director::getInstance()->pauseDrawing();
    step(40);
    Director::getInstance()->resumeDrawing();
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"game","desk":3,"site":1,"cards":""})"});
    EXPECT_FALSE(probe.seat(1).countdown->isVisible());
}

// ---- What a finished game leaves ---------------------------------------------------------------

TEST_F(DeskInStepTest, TheEndOfAGameWithdrawsPlayAndPass) {
    for (const char* end : {R"({"opt":"run","site":"2","name":"x"})",
                            R"({"opt":"over","info":[{},{"result":"1"},{},{}]})"}) {
        SCOPED_TRACE(end);
        DeskProbe probe = startGame("8,9,12");
        feed(gameMessage(0, "40", 1, 0));
        ASSERT_TRUE(probe.pass()->isVisible());
        feed(end);
        for (ui::Button* button : {probe.play(), probe.pass()}) {
            EXPECT_FALSE(button->isVisible());
            EXPECT_FALSE(button->isEnabled());
        }
        EXPECT_TRUE(probe.ready()->isVisible());
        raise(probe, 0);
        headless::tap(kPass.x, kPass.y);
        headless::tap(kPlay.x, kPlay.y);
        EXPECT_TRUE(takeSent().empty());
        EXPECT_EQ(codesOf(probe.seat(0).played), (Codes{40})) << "the table stays";
    }
}

TEST_F(DeskInStepTest, ANewDealClearsTheCountsAndTheOpeningTurnShowsTheDealSize) {
    DeskProbe probe = startGame("8,9,12");
    feed(gameMessage(0, "40", 1, 0, "3"));
    feed(R"({"opt":"over","info":[{},{"result":"1"},{},{}]})");
    ASSERT_EQ(probe.seat(0).count_label->getString(), "3");

    headless::tap(kReady.x, kReady.y);
    feed(R"({"opt":"start","cards":"8,9,12"})");
    for (int site = 0; site < 4; ++site) {
        EXPECT_EQ(probe.seat(site).count_label->getString(), "") << site;
    }
    feed(gameMessage(-1, "", 2, 1, "27"));
    for (int site : {0, 2, 3}) {
        EXPECT_EQ(probe.seat(site).count_label->getString(), "27") << site;
    }
    EXPECT_FALSE(probe.seat(1).count_label->isVisible());
}
