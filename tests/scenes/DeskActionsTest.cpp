// The local player's actions: buttons, card selection by touch and drag, and the turn countdown.

#include <algorithm>

#include "engine/backend/headless/Headless.h"
#include "net/CMessageQueue.h"
#include "scenes/common/CardSprite.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/ResourceShadow.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

namespace {

using Strings = std::vector<std::string>;

const Vec2 kReady(512, 170);
const Vec2 kPlay(412, 170);
const Vec2 kPass(612, 170);

void tapAt(const Vec2& point) {
    headless::tap(point.x, point.y);
}

// A point of card i that no card to its right covers: its left strip, 18 points wide.
Vec2 uncoveredPointOf(const CardSprite* card) {
    const Rect box = card->getBoundingBox();
    return Vec2(box.getMinX() + 9, box.getMidY());
}

}  // namespace

class DeskActionsTest : public SceneTest {
protected:
    // Desk 3, seat 1, a game running with `hand` dealt.
    DeskProbe startGame(const std::string& hand) {
        m_desk = dealtDesk(hand);
        return DeskProbe{*m_desk};
    }
    // Raises the hand cards at the given indexes by touching each once.
    void raise(const DeskProbe& probe, std::initializer_list<std::size_t> indexes) {
        for (std::size_t i : indexes) {
            const Vec2 point = uncoveredPointOf(probe.hand().at(i));
            tapAt(point);
        }
    }
    Vec2 returnButtonPoint(const DeskProbe& probe) const {
        const Size size = probe.returnButton()->getContentSize();
        return Vec2(1024 - size.width / 2, 768 - size.height / 2);
    }

    CDeskScene* m_desk = nullptr;
};

TEST_F(DeskActionsTest, ReadyClearsTheDeskAndTellsTheServer) {
    DeskProbe probe{*startDesk(3, 1)};
    feed(R"({"opt":"start","cards":"1,2,3"})");
    feed(gameMessage(2, "40", 0, 0));
    feed(R"({"opt":"score","p0":"50","p1":"60"})");
    feed(R"({"opt":"over","info":[{},{"result":"1"},{},{}]})");
    takeSent();

    tapAt(kReady);
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"change","type":"ready","desk":3,"site":1})"});
    EXPECT_FALSE(probe.ready()->isVisible());
    EXPECT_FALSE(probe.ready()->isEnabled());
    for (Label* score : {probe.ownScore(), probe.otherScore(), probe.tableScore()}) {
        EXPECT_EQ(score->getString(), "0");
    }
    EXPECT_TRUE(probe.hand().empty());
    for (int site = 0; site < 4; ++site) {
        EXPECT_TRUE(probe.seat(site).played.empty());
        EXPECT_FALSE(probe.seat(site).countdown->isVisible());
        EXPECT_EQ(probe.seat(site).ready_sprite->isVisible(), site == 1);
    }
    tapAt(kReady);  // hidden now
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(DeskActionsTest, ReturnLeavesAtOnceOutsideAGame) {
    DeskProbe probe{*startDesk(3, 1)};
    tapAt(returnButtonPoint(probe));
    headless::stepFrames(1);
    EXPECT_EQ(takeSent(), (Strings{R"({"opt":"change","type":"leave","desk":3,"site":1})",
                                   R"({"opt":"query"})"}));
    EXPECT_NE(runningHall(), nullptr);
    EXPECT_TRUE(headless::messageBoxes().empty());
}

// The leave text is already out when the hall turns out impossible to build: the desk stays.
TEST_F(DeskActionsTest, ReturnKeepsAUsableDeskWhenNoHallCanBeMade) {
    DeskProbe probe{*startDesk(3, 1)};
    {
        ResourceShadow broken({"add_desk_fast.png"});
        tapAt(returnButtonPoint(probe));
        headless::stepFrames(1);
    }
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"change","type":"leave","desk":3,"site":1})"});
    EXPECT_EQ(runningDesk(), &probe.desk);
    tapAt(kReady);
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"change","type":"ready","desk":3,"site":1})"});
    tapAt(returnButtonPoint(probe));
    headless::stepFrames(1);
    EXPECT_NE(runningHall(), nullptr);
}

TEST_F(DeskActionsTest, ReturnDuringAGameWarnsOnceThenLeaves) {
    DeskProbe probe = startGame("1,2,3");
    tapAt(returnButtonPoint(probe));
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text,
              "游戏还未结束，真的要退出吗？再次点击返回按钮将强制退出回到大厅！");
    EXPECT_EQ(headless::messageBoxes()[0].title, "提醒");
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(runningDesk(), m_desk);

    tapAt(returnButtonPoint(probe));
    headless::stepFrames(1);
    EXPECT_EQ(takeSent().front(), R"({"opt":"change","type":"leave","desk":3,"site":1})");
    EXPECT_NE(runningHall(), nullptr);
    EXPECT_EQ(headless::messageBoxes().size(), 1u);
}

TEST_F(DeskActionsTest, ReturnAfterTheGameEndedLeavesWithOnePress) {
    DeskProbe probe = startGame("1,2,3");
    feed(R"({"opt":"over","info":[{},{"result":"0"},{},{}]})");
    headless::clearRecords();
    tapAt(returnButtonPoint(probe));
    headless::stepFrames(1);
    EXPECT_TRUE(headless::messageBoxes().empty());
    EXPECT_EQ(takeSent().front(), R"({"opt":"change","type":"leave","desk":3,"site":1})");
    EXPECT_NE(runningHall(), nullptr);
}

TEST_F(DeskActionsTest, WarningIsArmedAfreshInEachGame) {
    DeskProbe probe = startGame("1,2,3");
    tapAt(returnButtonPoint(probe));
    feed(R"({"opt":"run","site":"0","name":"x"})");
    feed(R"({"opt":"start","cards":"4"})");
    headless::clearRecords();
    tapAt(returnButtonPoint(probe));
    EXPECT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(runningDesk(), m_desk);
}

TEST_F(DeskActionsTest, ButtonsActOnlyWhenTheTouchEnds) {
    DeskProbe probe = startGame("8,9");
    feed(gameMessage(0, "5", 1, 0));
    raise(probe, {0});
    using Type = ui::Widget::TouchEventType;
    for (Type type : {Type::BEGAN, Type::MOVED, Type::CANCELED}) {
        m_desk->onReadyButton(probe.ready(), type);
        m_desk->onReturnButton(probe.returnButton(), type);
        m_desk->onPassButton(probe.pass(), type);
        m_desk->onPlayButton(probe.play(), type);
    }
    EXPECT_TRUE(takeSent().empty());
    EXPECT_TRUE(headless::messageBoxes().empty());
    EXPECT_TRUE(probe.play()->isVisible());
    m_desk->onPassButton(probe.pass(), Type::ENDED);
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"game","desk":3,"site":1,"cards":""})"});
}

TEST_F(DeskActionsTest, PassSendsAnEmptyPlayOnlyWhenThereIsAPlayToBeat) {
    DeskProbe probe = startGame("8,9");
    feed(gameMessage(0, "", 1, 1));  // the local seat leads: no pass button, pass does nothing
    m_desk->onPassButton(probe.pass(), ui::Widget::TouchEventType::ENDED);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_TRUE(probe.play()->isVisible());

    feed(gameMessage(0, "5", 1, 0));
    raise(probe, {1});
    tapAt(kPass);
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"game","desk":3,"site":1,"cards":""})"});
    EXPECT_FALSE(probe.pass()->isVisible());
    EXPECT_FALSE(probe.pass()->isEnabled());
    EXPECT_FALSE(probe.play()->isVisible());
    EXPECT_FALSE(probe.play()->isEnabled());
    EXPECT_EQ(probe.collectRaised(), std::vector<int>{9});
    EXPECT_EQ(probe.turnSite(), 1);
}

TEST_F(DeskActionsTest, AcceptedPlayIsSentWithTheTrailingCommaAndLeavesTheHand) {
    DeskProbe probe = startGame("2,4,5,7,30");
    feed(gameMessage(0, "", 1, 1));
    raise(probe, {2, 1});
    headless::clearRecords();
    tapAt(kPlay);
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"game","desk":3,"site":1,"cards":"4,5,"})"});
    EXPECT_EQ(headless::effectsPlayed(), Strings{"sound/cp.wav"});
    EXPECT_EQ(probe.lastPlay(), (std::vector<int>{4, 5}));
    EXPECT_FALSE(probe.play()->isVisible());
    EXPECT_FALSE(probe.play()->isEnabled());
    ASSERT_EQ(probe.hand().size(), 3u);
    const float w = probe.hand()[0]->getContentSize().width;
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(probe.hand()[i]->getPosition(), Vec2(512 - 18 + 18.0f * i + w / 4, 45));
        EXPECT_FALSE(probe.hand()[i]->m_selected);
    }
    EXPECT_EQ(probe.hand()[0]->m_card, 2);
    EXPECT_EQ(probe.hand()[2]->m_card, 30);
    EXPECT_EQ(probe.turnSite(), 1);
    // The own play is not drawn on the table until the server reports it.
    EXPECT_TRUE(probe.seat(1).played.empty());
}

TEST_F(DeskActionsTest, FourIdenticalCardsAlsoSoundTheirOwnEffect) {
    struct Case {
        const char* hand;
        std::initializer_list<std::size_t> raised;
        const char* sent;
        Strings sounds;
    };
    const Case cases[] = {
        {"8,8,8,8,9", {0, 1, 2, 3}, "8,8,8,8,", {"sound/cp.wav", "sound/3.mp3"}},
        {"8,8,8,8,9", {0, 1, 2}, "8,8,8,", {"sound/cp.wav"}},
        {"8,9,10,11,12", {0, 1, 2, 3}, "8,9,10,11,", {"sound/cp.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent);
        DeskProbe probe = startGame(c.hand);
        feed(gameMessage(0, "", 1, 1));
        raise(probe, c.raised);
        headless::clearRecords();
        tapAt(kPlay);
        EXPECT_EQ(takeSent(), Strings{std::string(R"({"opt":"game","desk":3,"site":1,"cards":")") +
                                      c.sent + "\"}"});
        EXPECT_EQ(headless::effectsPlayed(), c.sounds);
    }
}

TEST_F(DeskActionsTest, RefusedPlayShowsTheRuleBoxAndChangesNothing) {
    DeskProbe probe = startGame("8,9,12,30");
    feed(gameMessage(0, "40", 1, 0));
    raise(probe, {0, 2});  // a three and a four are no hand
    tapAt(kPlay);
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "出牌不符合规则.");
    EXPECT_EQ(headless::messageBoxes()[0].title, "提示");
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(probe.collectRaised(), (std::vector<int>{8, 12}));
    EXPECT_TRUE(probe.play()->isVisible());
    EXPECT_TRUE(probe.pass()->isVisible());

    raise(probe, {0, 2, 3});  // 30 alone does not beat 40 either
    tapAt(kPlay);
    EXPECT_EQ(headless::messageBoxes().size(), 2u);
    EXPECT_EQ(probe.lastPlay(), std::vector<int>{40});
    EXPECT_EQ(probe.hand().size(), 4u);
}

// With the link down (never connected here) neither a play nor the lead of a turn that runs out
// is sent, and the hand keeps its cards: the desk the server restores takes over.
TEST_F(DeskActionsTest, WithTheLinkDownAPlayOrATurnRunningOutKeepsTheHand) {
    for (const bool pressPlay : {true, false}) {
        SCOPED_TRACE(pressPlay ? "play" : "turn runs out");
        DeskProbe probe = startGame("8,9,12");
        feed(gameMessage(0, "", 1, 1));
        CMessageQueue::getInstance()->setSendTap(nullptr);
        if (pressPlay) {
            raise(probe, {1});
            tapAt(kPlay);
        } else {
            step(32);
        }
        EXPECT_EQ(codesOf(probe.hand()), (std::vector<int>{8, 9, 12}));
        EXPECT_EQ(probe.play()->isVisible(), pressPlay) << "the buttons stay for a press";
        EXPECT_TRUE(headless::messageBoxes().empty());
        CMessageQueue::getInstance()->setSendTap(
            [this](const std::string& text) { m_sent.push_back(text); });
    }
}

TEST_F(DeskActionsTest, PlayWithNothingRaisedDoesNothing) {
    DeskProbe probe = startGame("8,9");
    feed(gameMessage(0, "", 1, 1));
    tapAt(kPlay);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_TRUE(headless::messageBoxes().empty());
    EXPECT_TRUE(probe.play()->isVisible());
}

// With two copies of one code, the play takes the raised copy; the other rests with its flag
// down, so one touch raises it.
TEST_F(DeskActionsTest, PlayTakesTheRaisedCopyOfACodeHeldTwice) {
    DeskProbe probe = startGame("8,8,20");
    feed(gameMessage(0, "", 1, 1));
    CardSprite* left = probe.hand()[0];
    CardSprite* right = probe.hand()[1];
    raise(probe, {1});
    ASSERT_EQ(probe.lastTouched(), right);
    tapAt(kPlay);
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"game","desk":3,"site":1,"cards":"8,"})"});
    ASSERT_EQ(probe.hand().size(), 2u);
    EXPECT_EQ(probe.hand()[0], left);
    EXPECT_EQ(probe.lastTouched(), nullptr);
    EXPECT_FALSE(left->m_selected);
    EXPECT_FLOAT_EQ(left->getPositionY(), 45);
    raise(probe, {0});
    EXPECT_FLOAT_EQ(left->getPositionY(), 70);
    EXPECT_TRUE(left->m_selected);
}

TEST_F(DeskActionsTest, TouchTogglesTheRightMostCardUnderTheFinger) {
    DeskProbe probe = startGame("8,12,16,20");
    const auto& hand = probe.hand();
    const Rect first = hand[0]->getBoundingBox();
    const Rect second = hand[1]->getBoundingBox();
    ASSERT_LT(second.getMinX(), first.getMaxX());  // neighbours overlap

    tapAt(Vec2(second.getMinX() + 2, 45));  // inside both: the right-hand card is on top
    EXPECT_EQ(probe.collectRaised(), std::vector<int>{12});
    EXPECT_TRUE(hand[1]->m_selected);
    tapAt(Vec2(first.getMinX() + 2, 45));  // the left-most card's own strip
    EXPECT_EQ(probe.collectRaised(), (std::vector<int>{8, 12}));
    tapAt(Vec2(hand[3]->getBoundingBox().getMaxX() - 2, 45));  // the right-most card's far edge
    EXPECT_EQ(probe.collectRaised(), (std::vector<int>{8, 12, 20}));
    tapAt(Vec2(second.getMinX() + 2, 45));  // a raised card goes down again
    EXPECT_EQ(probe.collectRaised(), (std::vector<int>{8, 20}));
    EXPECT_FALSE(hand[1]->m_selected);
    EXPECT_FLOAT_EQ(hand[1]->getPositionY(), 45);

    // Outside the cards, or far above them, nothing changes.
    const float top = hand[3]->getBoundingBox().getMaxY();
    for (const Vec2& miss : {Vec2(first.getMinX() - 5, 45), Vec2(512, top + 31),
                             Vec2(hand[3]->getBoundingBox().getMaxX() + 3, 45)}) {
        tapAt(miss);
        EXPECT_EQ(probe.collectRaised(), (std::vector<int>{8, 20}));
    }
}

// Across the hand each card toggles once as the finger enters it; going back toggles them again,
// except the card where the finger turned.
TEST_F(DeskActionsTest, DragTogglesEachCardOnceAsTheFingerEntersIt) {
    DeskProbe probe = startGame("8,12,16,20,24");
    std::vector<Vec2> points;
    for (const CardSprite* card : probe.hand()) {
        points.push_back(uncoveredPointOf(card));
    }
    headless::touchBegin(points[0].x, points[0].y);
    headless::stepFrames(1);
    for (std::size_t i = 1; i < points.size(); ++i) {
        headless::touchMove(points[i].x - 3, points[i].y);
        headless::touchMove(points[i].x, points[i].y);  // still the same card
        headless::stepFrames(1);
    }
    EXPECT_EQ(probe.collectRaised(), (std::vector<int>{8, 12, 16, 20, 24}));
    for (std::size_t i = points.size() - 1; i-- > 0;) {
        headless::touchMove(points[i].x, points[i].y);
        headless::stepFrames(1);
    }
    headless::touchEnd(points[0].x, points[0].y);
    headless::stepFrames(1);
    EXPECT_EQ(probe.collectRaised(), std::vector<int>{24});
    for (const CardSprite* card : probe.hand()) {
        EXPECT_EQ(card->m_selected, card->getPositionY() == 70);
    }
}

TEST_F(DeskActionsTest, ResetForgetsTheLastTouchedCard) {
    DeskProbe probe = startGame("8,12");
    raise(probe, {1});
    ASSERT_NE(probe.lastTouched(), nullptr);
    feed(R"({"opt":"over","info":[{},{"result":"0"},{},{}]})");
    tapAt(kReady);
    EXPECT_TRUE(probe.hand().empty());
    EXPECT_EQ(probe.lastTouched(), nullptr);
}

namespace {

// What a countdown shows from the moment it appears until it hides or `seconds` pass: one entry
// per change, and the texts at which the warning sound rang.
struct CountdownTrace {
    Strings texts;
    Strings warnedAt;
    bool hidden = false;
};

CountdownTrace traceCountdown(const LabelAtlas* countdown, double seconds) {
    CountdownTrace trace;
    std::string shown = countdown->getString();
    std::size_t warnings = 0;
    for (int frame = 0; frame < 60 && !countdown->isVisible(); ++frame) {
        headless::stepFrames(1);
    }
    for (int frame = 0; frame < static_cast<int>(seconds * 60); ++frame) {
        if (countdown->getString() != shown) {
            shown = countdown->getString();
            trace.texts.push_back(shown);
        }
        const Strings effects = headless::effectsPlayed();
        const auto rang =
            static_cast<std::size_t>(std::count(effects.begin(), effects.end(), "sound/jg.wav"));
        if (rang > warnings) {
            warnings = rang;
            trace.warnedAt.push_back(shown);
        }
        if (!countdown->isVisible()) {
            trace.hidden = true;
            break;
        }
        headless::stepFrames(1);
    }
    return trace;
}

Strings countingDownFrom29() {
    Strings texts;
    for (int left = 29; left >= -1; --left) {
        texts.push_back(std::to_string(left));
    }
    return texts;
}

}  // namespace

TEST_F(DeskActionsTest, LocalTurnRunsOutIntoAPassWhenThereIsAPlayToBeat) {
    DeskProbe probe = startGame("8,9,12");
    push(gameMessage(0, "40", 1, 0));
    const CountdownTrace trace = traceCountdown(probe.seat(1).countdown, 32);
    EXPECT_EQ(trace.texts, countingDownFrom29());
    EXPECT_EQ(trace.warnedAt, (Strings{"8", "6", "4", "2", "0"}));
    EXPECT_TRUE(trace.hidden);
    EXPECT_FALSE(probe.play()->isVisible());
    EXPECT_FALSE(probe.pass()->isVisible());
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"game","desk":3,"site":1,"cards":""})"});
    EXPECT_EQ(probe.turnSite(), -1);
    step(3);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(probe.hand().size(), 3u);
}

TEST_F(DeskActionsTest, LocalTurnRunsOutIntoALeadOfTheLeftMostCard) {
    DeskProbe probe = startGame("12,8,9");
    raise(probe, {0});
    push(gameMessage(0, "", 1, 1));
    const CountdownTrace trace = traceCountdown(probe.seat(1).countdown, 32);
    EXPECT_TRUE(trace.hidden);
    EXPECT_EQ(takeSent(), Strings{R"({"opt":"game","desk":3,"site":1,"cards":"8"})"});
    ASSERT_EQ(probe.hand().size(), 2u);
    EXPECT_EQ(probe.hand()[0]->m_card, 9);
    EXPECT_EQ(probe.lastTouched(), nullptr);
    const float w = probe.hand()[0]->getContentSize().width;
    EXPECT_EQ(probe.hand()[0]->getPosition(), Vec2(512 - 9 + w / 4, 45));
    EXPECT_TRUE(probe.lastPlay().empty());
    const Strings effects = headless::effectsPlayed();
    EXPECT_EQ(std::count(effects.begin(), effects.end(), "sound/cp.wav"), 0);
}

// With nothing left to lead, running out only ends the turn.
TEST_F(DeskActionsTest, LocalTurnRunsOutQuietlyWithAnEmptyHand) {
    DeskProbe probe = startGame("");
    push(gameMessage(0, "", 1, 1));
    const CountdownTrace trace = traceCountdown(probe.seat(1).countdown, 32);
    EXPECT_TRUE(trace.hidden);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_FALSE(probe.play()->isVisible());
    EXPECT_EQ(probe.turnSite(), -1);
}

// The digit atlas has no minus sign: another seat's countdown stays at "0" and the desk waits.
TEST_F(DeskActionsTest, AnotherSeatsCountdownStopsAtZeroAndNothingIsSent) {
    DeskProbe probe = startGame("8");
    push(gameMessage(1, "", 2, 0));
    const CountdownTrace trace = traceCountdown(probe.seat(2).countdown, 40);
    Strings expected = countingDownFrom29();
    expected.pop_back();
    EXPECT_EQ(trace.texts, expected);
    EXPECT_TRUE(trace.warnedAt.empty());
    EXPECT_FALSE(trace.hidden);
    EXPECT_EQ(probe.turnSite(), 2);
    EXPECT_TRUE(takeSent().empty());
}
