// The desk's 上一轮 and summary as a player meets them: the button waits for the first trick to
// end, holding it (mouse or L) shows that trick by seat over the table and letting go brings the
// table back; after "over" the summary panel follows the result's box and goes with ready.

#include <algorithm>

#include "engine/backend/headless/Headless.h"
#include "scenes/common/CardSprite.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using K = EventKeyboard::KeyCode;

namespace {

// The view's cards as (code, position) and its texts with their positions.
struct ViewCard {
    int code = -1;
    Vec2 at;
    float width = 0;
};
struct ViewContents {
    std::vector<ViewCard> cards;
    std::vector<std::pair<std::string, Vec2>> texts;
};

ViewContents contentsOf(const Node* view) {
    ViewContents contents;
    for (Node* child : view->getChildren()) {
        if (const auto* card = dynamic_cast<const CardSprite*>(child)) {
            contents.cards.push_back(
                {card->m_card, card->getPosition(), card->getContentSize().width});
        } else if (const auto* label = dynamic_cast<const Label*>(child)) {
            contents.texts.emplace_back(label->getString(), label->getPosition());
        }
    }
    return contents;
}

}  // namespace

class DeskLastTrickTest : public SceneTest {
protected:
    static constexpr float kButtonX = 964;
    static constexpr float kButtonY = 170;

    // Desk 3, seat 1 (bottom); seat 2 right, 3 top, 0 left. Seat 2 leads a pair of threes, the
    // others pass, the local seat too, and seat 2 leads again with a king.
    DeskProbe firstTrickTaken() {
        CDeskScene* desk = dealtDesk("1,5,12,30,44");
        DeskProbe probe{*desk};
        feed(gameMessage(-1, "", 2, 1, "5"));
        feed(gameMessage(2, "8,9", 3, 0, "3"));
        feed(gameMessage(3, "", 0, 0));
        feed(gameMessage(0, "", 1, 0));
        EXPECT_FALSE(probe.lastTrickButton()->isEnabled()) << "no trick has ended yet";
        feed(gameMessage(1, "", 2, 1));
        feed(gameMessage(2, "48", 3, 0, "2"));
        return probe;
    }

    void expectLastTrickShown(const DeskProbe& probe) {
        ASSERT_TRUE(probe.lastTrickView()->isVisible());
        const ViewContents shown = contentsOf(probe.lastTrickView());
        ASSERT_EQ(shown.cards.size(), 2u);
        const st_player_info& right = probe.seat(2);
        for (std::size_t k = 0; k < 2; ++k) {
            EXPECT_EQ(shown.cards[k].code, 8 + static_cast<int>(k));
            EXPECT_EQ(shown.cards[k].at,
                      DeskProbe::playedCardPosition(right, k, shown.cards[k].width));
        }
        std::vector<Vec2> passes;
        for (const auto& [text, at] : shown.texts) {
            if (text == "pass") {
                passes.push_back(at);
            }
        }
        EXPECT_EQ(passes, (std::vector<Vec2>{probe.seat(0).pass_label->getPosition(),
                                             probe.seat(1).pass_label->getPosition(),
                                             probe.seat(3).pass_label->getPosition()}));
        EXPECT_TRUE(std::any_of(shown.texts.begin(), shown.texts.end(),
                                [](const auto& text) { return text.first == "上一轮"; }));
    }

    // The trick in progress is on the table as the desk keeps it.
    static void expectTableKept(const DeskProbe& probe) {
        EXPECT_EQ(codesOf(probe.seat(2).played), std::vector<int>{48});
        EXPECT_TRUE(probe.seat(2).played.front()->isVisible());
    }
};

TEST_F(DeskLastTrickTest, DisabledUntilTheFirstTrickEnds) {
    CDeskScene* desk = dealtDesk("1,5,12");
    DeskProbe probe{*desk};
    feed(gameMessage(-1, "", 2, 1, "3"));
    feed(gameMessage(2, "8", 3, 0, "2"));
    EXPECT_FALSE(probe.lastTrickButton()->isEnabled());
    headless::touchBegin(kButtonX, kButtonY);
    step(0.05);
    EXPECT_FALSE(probe.lastTrickView()->isVisible());
    headless::touchEnd(kButtonX, kButtonY);
    headless::keyPress(K::KEY_L);
    step(0.05);
    EXPECT_FALSE(probe.lastTrickView()->isVisible());
    headless::keyRelease(K::KEY_L);
    step(0.05);
}

TEST_F(DeskLastTrickTest, HeldWithTheMouseItShowsTheLastTrickBySeat) {
    DeskProbe probe = firstTrickTaken();
    ASSERT_TRUE(probe.lastTrickButton()->isEnabled());
    EXPECT_FALSE(probe.lastTrickView()->isVisible());
    headless::touchBegin(kButtonX, kButtonY);
    step(0.2);
    expectLastTrickShown(probe);
    expectTableKept(probe);
    headless::touchEnd(kButtonX, kButtonY);
    step(0.05);
    EXPECT_FALSE(probe.lastTrickView()->isVisible());
    expectTableKept(probe);
}

TEST_F(DeskLastTrickTest, HeldWithTheKeyItShowsTheSameAndFollowsTheNextTrick) {
    DeskProbe probe = firstTrickTaken();
    headless::keyPress(K::KEY_L);
    step(0.05);
    expectLastTrickShown(probe);
    // The second trick ends while the key is held: the view shows it instead.
    feed(gameMessage(3, "", 0, 0));
    feed(gameMessage(0, "", 1, 0));
    feed(gameMessage(1, "", 2, 1));
    ASSERT_TRUE(probe.lastTrickView()->isVisible());
    const ViewContents shown = contentsOf(probe.lastTrickView());
    ASSERT_EQ(shown.cards.size(), 1u);
    EXPECT_EQ(shown.cards[0].code, 48);
    EXPECT_EQ(shown.cards[0].at,
              DeskProbe::playedCardPosition(probe.seat(2), 0, shown.cards[0].width));
    headless::keyRelease(K::KEY_L);
    step(0.05);
    EXPECT_FALSE(probe.lastTrickView()->isVisible());
}

TEST_F(DeskLastTrickTest, ANewDealOrReadyForgetsTheLastTrick) {
    DeskProbe probe = firstTrickTaken();
    headless::keyPress(K::KEY_L);
    step(0.05);
    feed(R"({"opt":"start","cards":"2,3"})");
    EXPECT_FALSE(probe.lastTrickView()->isVisible());
    EXPECT_FALSE(probe.lastTrickButton()->isEnabled());
    headless::keyRelease(K::KEY_L);
    step(0.05);
}

TEST_F(DeskLastTrickTest, AfterAResumeMidTrickTheFirstTrickSeenWholeIsShown) {
    const std::string resume =
        R"({"opt":"resume","desk":"3","site":"1","name":"me","playing":"1","info":[)"
        R"({"name":"a","surplus":"9"},{"name":"me","surplus":"3"},{"name":"c","surplus":"9"},)"
        R"({"name":"d","surplus":"9","cards":"20"}],"cards":"1,5,12","now":"0","must":"0",)"
        R"("last":"20","lastsite":"3","score":"0","p0":"0","p1":"0","left":"20000"})";
    startHall();
    push(R"({"opt":"hello","status":"ok","resume":"1"})");
    push(resume);
    headless::stepFrames(14);  // two polls and the scene change
    CDeskScene* desk = runningDesk();
    ASSERT_NE(desk, nullptr);
    DeskProbe probe{*desk};
    EXPECT_FALSE(probe.lastTrickButton()->isEnabled());
    feed(gameMessage(0, "", 1, 0));
    feed(gameMessage(1, "", 2, 0));
    feed(gameMessage(2, "", 3, 1));
    EXPECT_FALSE(probe.lastTrickButton()->isEnabled()) << "that trick began before the resume";
    feed(gameMessage(3, "24", 0, 0));
    feed(gameMessage(0, "", 1, 0));
    feed(gameMessage(1, "", 2, 0));
    feed(gameMessage(2, "", 3, 1));
    EXPECT_TRUE(probe.lastTrickButton()->isEnabled());
}

TEST_F(DeskLastTrickTest, TheSummaryFollowsTheResultBoxAndGoesWithReady) {
    CDeskScene* desk = dealtDesk("1,5");
    DeskProbe probe{*desk};
    feed(gameMessage(-1, "", 1, 1, "2"));
    takeSent();
    feed(gameMessage(1, "16", 2, 0, "1", 5));  // a five
    feed(gameMessage(2, "", 3, 0, "2", 5));
    feed(gameMessage(3, "", 0, 0, "2", 5));
    feed(gameMessage(0, "", 1, 1, "2", 0));
    feed(R"({"opt":"score","p0":"0","p1":"5"})");
    feed(gameMessage(1, "20", 2, 0, "0", 0));
    feed(gameMessage(2, "", 3, 0, "2", 0));
    feed(gameMessage(3, "40,41", -1, 0, "0", 0));
    feed(R"({"opt":"score","p0":"0","p1":"25"})");
    EXPECT_FALSE(probe.summaryPanel()->isOpen());
    feed(R"({"opt":"over","info":[{"name":"ann","result":"-2"},{"name":"me","result":"2"},)"
         R"({"name":"cy","result":"-2"},{"name":"dee","result":"2"}]})");
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "恭喜，赢2局！");
    ASSERT_TRUE(probe.summaryPanel()->isOpen());

    const std::vector<std::vector<std::string>> rows = {{"me", "1", "5", "大胜"},
                                                        {"dee", "2", "0", "大胜"},
                                                        {"ann", "3-4", "0", "大败"},
                                                        {"cy", "3-4", "0", "大败"}};
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            EXPECT_EQ(probe.summaryPanel()->cellText(row, column), rows[row][column])
                << "row " << row << ", column " << column;
        }
    }
    EXPECT_EQ(probe.summaryPanel()->teamText(), "我方 25 分（含余分 20）    对方 0 分");
    EXPECT_TRUE(probe.lastTrickButton()->isEnabled()) << "the game's last trick stays";

    takeSent();
    headless::tap(512, 170);  // ready, below the board, at the first tap
    EXPECT_FALSE(probe.summaryPanel()->isOpen());
    EXPECT_FALSE(probe.lastTrickButton()->isEnabled());
    EXPECT_EQ(takeSent().size(), 1u) << "ready was sent";
}

TEST_F(DeskLastTrickTest, TheSummaryClosesWithItsButtonOrEsc) {
    CDeskScene* desk = dealtDesk("1");
    DeskProbe probe{*desk};
    feed(gameMessage(-1, "", 1, 1, "1"));
    feed(gameMessage(1, "4", 2, 0, "0"));
    feed(gameMessage(2, "", 3, 0, "1"));
    feed(gameMessage(3, "8", -1, 0, "0"));
    feed(R"({"opt":"score","p0":"0","p1":"0"})");
    feed(R"({"opt":"over","info":[{"name":"a","result":"-2"},{"name":"me","result":"2"},)"
         R"({"name":"c","result":"-2"},{"name":"d","result":"2"}]})");
    ASSERT_TRUE(probe.summaryPanel()->isOpen());
    EXPECT_EQ(probe.summaryPanel()->noteText(), "");
    headless::tap(512, 424 - 165 + 32);  // 关闭, at the board's bottom (board centre y 424)
    EXPECT_FALSE(probe.summaryPanel()->isOpen());
    probe.summaryPanel()->show(GameSummary{}, 1);
    headless::typeKey(K::KEY_ESCAPE);
    EXPECT_FALSE(probe.summaryPanel()->isOpen());
    EXPECT_TRUE(probe.ready()->isVisible()) << "the desk is as the game left it";
}
