// The desk's helpers as a player meets them: the hint button and its cycle, the keys and the
// right button, the turn chime and the last seconds' ticks, the tracker's toggle; and Enter in
// the hall.

#include <algorithm>

#include "engine/backend/headless/Headless.h"
#include "scenes/common/CardSprite.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using K = EventKeyboard::KeyCode;

namespace {

using Codes = std::vector<int>;
using Strings = std::vector<std::string>;

const Vec2 kHint(242, 170);

}  // namespace

class DeskHelpTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        DeskProbe::setTrackerShown(false);
    }
    DeskProbe startGame(const std::string& hand) { return DeskProbe{*dealtDesk(hand)}; }
    // The local seat's turn: leading when `lastPlay` is empty, otherwise on seat 0's `lastPlay`.
    void localTurn(const std::string& lastPlay) {
        if (lastPlay.empty()) {
            feed(gameMessage(0, "", 1, 1));
        } else {
            feed(gameMessage(0, lastPlay, 1, 0));
        }
        takeSent();
        headless::clearRecords();
    }
    static void raise(const DeskProbe& probe, std::size_t index) {
        tapCard(probe.hand().at(index));
    }
    // Codes of the raised cards, and every card's flag agrees with its height.
    static Codes raised(const DeskProbe& probe) {
        Codes codes;
        for (const CardSprite* card : probe.hand()) {
            const bool up = card->getPositionY() == 70;
            EXPECT_EQ(card->m_selected, up) << "card " << card->m_card;
            if (up) {
                codes.push_back(card->m_card);
            }
        }
        return codes;
    }
    static long count(const Strings& effects, const std::string& path) {
        return std::count(effects.begin(), effects.end(), path);
    }
};

// ---- Hint ---------------------------------------------------------------------------------------

TEST_F(DeskHelpTest, TheHintButtonComesAndGoesWithThePlayButton) {
    DeskProbe probe = startGame("8,12,13");
    ui::Button* hint = probe.hint();
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(hint->getPosition(), kHint);
    localTurn("9");
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->isEnabled());
    // Left of play, at its height, overlapping neither play nor the raised hand.
    EXPECT_LT(hint->getBoundingBox().getMaxX(), probe.play()->getBoundingBox().getMinX());
    EXPECT_GT(hint->getBoundingBox().getMinY(), 70 + 69);
    feed(gameMessage(1, "", 2, 0));
    EXPECT_FALSE(hint->isVisible());
    EXPECT_FALSE(hint->isEnabled());
}

TEST_F(DeskHelpTest, EachPressRaisesTheNextPlayAndTheListStartsAgain) {
    DeskProbe probe = startGame("8,12,13,20,24,25,26,27");
    localTurn("9");
    const std::vector<Codes> expected = {{12}, {13}, {20}, {24}, {25}, {26}, {27}, {24, 25, 26, 27},
                                         {12}, {13}};
    for (std::size_t press = 0; press < expected.size(); ++press) {
        SCOPED_TRACE(press);
        headless::tap(kHint.x, kHint.y);
        EXPECT_EQ(raised(probe), expected[press]);
    }
    EXPECT_TRUE(headless::messageBoxes().empty());
    EXPECT_TRUE(takeSent().empty());

    // Hinted cards are ordinary raised cards: a touch changes them, play sends what is raised.
    raise(probe, 0);
    EXPECT_EQ(raised(probe), (Codes{8, 13}));
    raise(probe, 0);
    headless::tap(412, 170);
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"game","desk":3,"site":1,"cards":"13,"})"});
}

TEST_F(DeskHelpTest, LeadingTheHintWalksEveryLeadFromTheLowest) {
    DeskProbe probe = startGame("8,9,12");
    localTurn("");
    std::vector<Codes> given;
    for (int press = 0; press < 5; ++press) {
        headless::tap(kHint.x, kHint.y);
        given.push_back(raised(probe));
    }
    EXPECT_EQ(given, (std::vector<Codes>{{8}, {9}, {8, 9}, {12}, {8}}));
}

TEST_F(DeskHelpTest, NothingBeatsRaisesNothingAndShowsTheNoticeForTwoSeconds) {
    DeskProbe probe = startGame("8,12,13");
    localTurn("19");
    raise(probe, 1);
    headless::tap(kHint.x, kHint.y);
    EXPECT_TRUE(raised(probe).empty());
    ASSERT_TRUE(probe.notice()->isVisible());
    ASSERT_EQ(probe.notice()->getChildrenCount(), 1u);
    EXPECT_EQ(static_cast<Label*>(probe.notice()->getChildren().front())->getString(),
              "没有大过上家的牌");
    EXPECT_TRUE(headless::messageBoxes().empty());
    EXPECT_TRUE(takeSent().empty());
    step(1.8);
    EXPECT_TRUE(probe.notice()->isVisible());
    step(0.4);
    EXPECT_FALSE(probe.notice()->isVisible());
    // The turn goes on: the buttons stay offered and the clock still runs.
    EXPECT_TRUE(probe.play()->isVisible());
    EXPECT_EQ(probe.seat(1).countdown->getString(), "28");
}

TEST_F(DeskHelpTest, ANewTurnMakesANewList) {
    DeskProbe probe = startGame("8,12,13,40");
    localTurn("9");
    headless::tap(kHint.x, kHint.y);
    headless::tap(kHint.x, kHint.y);
    EXPECT_EQ(raised(probe), (Codes{13}));
    feed(gameMessage(1, "", 2, 0));
    feed(gameMessage(2, "", 3, 0));
    feed(gameMessage(3, "36", 1, 0));
    headless::tap(kHint.x, kHint.y);
    EXPECT_EQ(raised(probe), (Codes{40}));
}

// ---- Keys and the right button ------------------------------------------------------------------

// Each key does what a press of its button does, and nothing while the button is not offered.
TEST_F(DeskHelpTest, KeysActOnlyWhileTheirButtonIsOffered) {
    struct Case {
        const char* name;
        const char* lastPlay;  // the local turn's play to beat; nullptr: not the local turn
        K key;
        Strings sent;
        Codes raisedAfter;
    };
    const char* kPlayText = R"({"opt":"game","desk":3,"site":1,"cards":"12,"})";
    const char* kPassText = R"({"opt":"game","desk":3,"site":1,"cards":""})";
    const Case cases[] = {
        {"Enter plays the raised card", "9", K::KEY_ENTER, {kPlayText}, {}},
        {"keypad Enter plays too", "9", K::KEY_KP_ENTER, {kPlayText}, {}},
        {"Enter off the turn", nullptr, K::KEY_ENTER, {}, {12}},
        {"Backspace passes", "9", K::KEY_BACKSPACE, {kPassText}, {12}},
        {"Backspace while leading (no pass button)", "", K::KEY_BACKSPACE, {}, {12}},
        {"Backspace off the turn", nullptr, K::KEY_BACKSPACE, {}, {12}},
        {"H hints", "9", K::KEY_H, {}, {12}},
        {"H off the turn", nullptr, K::KEY_H, {}, {12}},
        {"R during the game (ready hidden)", "9", K::KEY_R, {}, {12}},
        {"Esc lowers", "9", K::KEY_ESCAPE, {}, {}},
        {"Esc off the turn lowers too", nullptr, K::KEY_ESCAPE, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeskProbe probe = startGame("8,12,13");
        if (c.lastPlay != nullptr) {
            localTurn(c.lastPlay);
        }
        raise(probe, 1);
        headless::typeKey(c.key);
        EXPECT_EQ(takeSent(), c.sent);
        EXPECT_EQ(raised(probe), c.raisedAfter);
        EXPECT_TRUE(headless::messageBoxes().empty());
    }
}

TEST_F(DeskHelpTest, AShownButDisabledButtonIgnoresItsKey) {
    DeskProbe probe = startGame("8,12,13");
    localTurn("9");
    raise(probe, 1);
    probe.play()->setEnabled(false);
    probe.pass()->setEnabled(false);
    headless::typeKey(K::KEY_ENTER);
    headless::typeKey(K::KEY_BACKSPACE);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(raised(probe), (Codes{12}));
}

TEST_F(DeskHelpTest, ASecondPressWithNothingToBeatKeepsTheNoticeTwoSecondsMore) {
    DeskProbe probe = startGame("8,12,13");
    localTurn("19");
    headless::tap(kHint.x, kHint.y);
    step(1.5);
    headless::tap(kHint.x, kHint.y);
    step(1.8);
    EXPECT_TRUE(probe.notice()->isVisible());
    step(0.4);
    EXPECT_FALSE(probe.notice()->isVisible());
}

TEST_F(DeskHelpTest, RPressesReadyOnlyWhileReadyIsOffered) {
    DeskProbe probe{*startDesk(3, 1)};
    headless::typeKey(K::KEY_R);
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"change","type":"ready","desk":3,"site":1})"});
    EXPECT_FALSE(probe.ready()->isVisible());
    EXPECT_TRUE(probe.seat(1).ready_sprite->isVisible());
    headless::typeKey(K::KEY_R);
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(DeskHelpTest, EnterWithAnIllegalPlayShowsTheRuleBoxAsTheButtonDoes) {
    DeskProbe probe = startGame("8,12,13");
    localTurn("9");
    raise(probe, 0);
    raise(probe, 1);
    headless::typeKey(K::KEY_ENTER);
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "出牌不符合规则.");
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(raised(probe), (Codes{8, 12}));
}

TEST_F(DeskHelpTest, TheRightButtonLowersEveryRaisedCard) {
    DeskProbe probe = startGame("8,12,13,20");
    raise(probe, 0);
    raise(probe, 2);
    headless::rightClick(800, 500);
    EXPECT_TRUE(raised(probe).empty());
    // A left touch after it toggles as before: the flags were cleared with the heights.
    raise(probe, 2);
    EXPECT_EQ(raised(probe), (Codes{13}));
    EXPECT_TRUE(takeSent().empty());
}

// ---- Turn alert ---------------------------------------------------------------------------------

TEST_F(DeskHelpTest, TheLocalTurnChimesAndAsksForAttentionOnlyWithoutTheFocus) {
    startGame("8,12,13");
    const int before = headless::attentionRequests();
    feed(gameMessage(0, "9", 1, 0));
    EXPECT_EQ(headless::effectsPlayed(), (Strings{"sound/cp.wav", "sound/turn.wav"}));
    EXPECT_EQ(headless::attentionRequests(), before);

    // Another seat's turn: no chime.
    headless::clearRecords();
    feed(gameMessage(1, "", 2, 0));
    EXPECT_EQ(headless::effectsPlayed(), (Strings{"sound/by.mp3"}));

    headless::setWindowFocused(false);
    feed(gameMessage(2, "", 3, 0));
    EXPECT_EQ(headless::attentionRequests(), before);
    feed(gameMessage(3, "", 1, 0));
    EXPECT_EQ(count(headless::effectsPlayed(), "sound/turn.wav"), 1);
    EXPECT_EQ(headless::attentionRequests(), before + 1);
    headless::setWindowFocused(true);
}

TEST_F(DeskHelpTest, TheLastFiveSecondsTickOnceEach) {
    startGame("8,12,13");
    localTurn("9");
    step(31.0);
    Strings alarms;
    for (const std::string& path : headless::effectsPlayed()) {
        if (path == "sound/jg.wav" || path == "sound/tick.wav") {
            alarms.push_back(path == "sound/jg.wav" ? "jg" : "tick");
        }
    }
    // 8, 6, 5, 4, 3, 2, 1, 0
    EXPECT_EQ(alarms,
              (Strings{"jg", "jg", "tick", "jg", "tick", "tick", "jg", "tick", "tick", "jg"}));
}

TEST_F(DeskHelpTest, AStallOverTheLastSecondsTicksOnce) {
    DeskProbe probe = startGame("8,12,13");
    localTurn("9");
    step(23.0);  // the countdown shows 7
    ASSERT_EQ(probe.seat(1).countdown->getString(), "7");
    headless::clearRecords();
    headless::stall(5.0);
    headless::stepFrames(1);
    EXPECT_EQ(probe.seat(1).countdown->getString(), "2");
    EXPECT_EQ(headless::effectsPlayed(), (Strings{"sound/jg.wav", "sound/tick.wav"}));
    // Another seat's countdown never ticks.
    feed(gameMessage(1, "", 2, 0));
    headless::clearRecords();
    step(31.0);
    EXPECT_TRUE(headless::effectsPlayed().empty());
}

// ---- Card tracker toggle ------------------------------------------------------------------------

TEST_F(DeskHelpTest, TheTrackerIsOffUntilToggledAndStaysAsChosenForTheSession) {
    DeskProbe probe = startGame("8,12,13");
    EXPECT_FALSE(probe.trackerPanel()->isVisible());
    const Rect button = probe.trackerButton()->getBoundingBox();
    headless::tap(button.getMidX(), button.getMidY());
    EXPECT_TRUE(probe.trackerPanel()->isVisible());
    EXPECT_EQ(probe.trackerPanel()->countText(0), "7");  // one three held of eight

    // A new desk in the same session opens with the panel as the player left it.
    headless::typeKey(K::KEY_T);
    EXPECT_FALSE(probe.trackerPanel()->isVisible());
    headless::typeKey(K::KEY_T);
    DeskProbe next{*startDesk(4, 2)};
    EXPECT_TRUE(next.trackerPanel()->isVisible());
    EXPECT_EQ(next.trackerPanel()->countText(0), "8");
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(DeskHelpTest, TheHelpersCoverNoneOfTheTablesElements) {
    DeskProbe probe = startGame("8,12,13");
    const Rect panel = probe.trackerPanel()->getBoundingBox();
    const Rect button = probe.trackerButton()->getBoundingBox();
    const Rect score(0, 768 - 36, 201, 36);
    for (const Rect& helper : {panel, button}) {
        EXPECT_FALSE(helper.intersectsRect(score));
        for (const auto& seat : probe.seats()) {
            EXPECT_FALSE(helper.intersectsRect(seat->countdown->getBoundingBox()));
            EXPECT_FALSE(helper.intersectsRect(seat->ready_sprite->getBoundingBox()));
        }
        // The top seat's played row and the left seat's name stay clear.
        EXPECT_GT(helper.getMinY(), 584 + 69);
        EXPECT_GT(helper.getMinY(), 636 + 10);
    }
}

// ---- Hall ---------------------------------------------------------------------------------------

TEST_F(DeskHelpTest, EnterInTheHallPressesQuickJoinOnce) {
    CHallScene* hall = startHall();
    takeSent();
    headless::typeKey(K::KEY_ENTER);
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"add"})"});
    EXPECT_FALSE(HallProbe{*hall}.quickJoin()->isEnabled());
    headless::typeKey(K::KEY_ENTER);
    EXPECT_TRUE(takeSent().empty());
}
