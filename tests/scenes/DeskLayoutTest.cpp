// The desk as it opens: where everything stands at 1024 x 768 and how the server seats map to
// the screen positions.

#include "engine/backend/headless/Headless.h"
#include "scenes/common/CardSprite.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

class DeskLayoutTest : public SceneTest {};

namespace {

struct SeatLayout {
    Vec2 name;
    int nameZ;
    Vec2 count;
    Vec2 countdown;
    Vec2 ready;
    Vec2 over;
    Vec2 pass;
    int playX;
    int playY;
};

// Screen positions 0 (bottom, self), 1 (right), 2 (top), 3 (left). The bottom count label is
// hidden and never placed.
const SeatLayout kSeatLayouts[] = {
    {{477, 18}, 30, {0, 0}, {812, 200}, {512, 184}, {512, 184}, {512, 184}, 312, 250},
    {{889, 636}, 3, {889, 621}, {772, 600}, {862, 384}, {862, 384}, {862, 384}, 512, 384},
    {{477, 750}, 3, {477, 735}, {652, 730}, {512, 584}, {512, 584}, {512, 584}, 312, 584},
    {{70, 636}, 3, {70, 621}, {232, 600}, {162, 384}, {232, 600}, {162, 384}, 0, 384},
};

}  // namespace

TEST_F(DeskLayoutTest, SeatElementsStandWhereEachScreenPositionPutsThem) {
    DeskProbe probe{*startDesk(3, 1)};
    ASSERT_EQ(probe.seats().size(), 4u);
    for (int position = 0; position < 4; ++position) {
        SCOPED_TRACE(position);
        const SeatLayout& want = kSeatLayouts[position];
        const st_player_info& seat = *probe.seats()[static_cast<std::size_t>(position)];
        EXPECT_EQ(seat.name_label->getPosition(), want.name);
        EXPECT_EQ(seat.name_label->getLocalZOrder(), want.nameZ);
        EXPECT_EQ(seat.name_label->getColor(), Color3B::RED);
        EXPECT_EQ(seat.name_label->getString(), "");
        EXPECT_EQ(seat.count_label->getPosition(), want.count);
        EXPECT_EQ(seat.count_label->isVisible(), position != 0);
        EXPECT_EQ(seat.countdown->getPosition(), want.countdown);
        EXPECT_EQ(seat.countdown->getString(), "30");
        EXPECT_EQ(seat.ready_sprite->getPosition(), want.ready);
        EXPECT_EQ(seat.over_label->getPosition(), want.over);
        EXPECT_EQ(seat.over_label->getString(), "over");
        EXPECT_EQ(seat.pass_label->getPosition(), want.pass);
        EXPECT_EQ(seat.pass_label->getString(), "pass");
        EXPECT_EQ(seat.play_x, want.playX);
        EXPECT_EQ(seat.play_y, want.playY);
        for (const Node* hidden :
             {static_cast<const Node*>(seat.countdown), static_cast<const Node*>(seat.ready_sprite),
              static_cast<const Node*>(seat.over_label),
              static_cast<const Node*>(seat.pass_label)}) {
            EXPECT_FALSE(hidden->isVisible());
            EXPECT_EQ(hidden->getLocalZOrder(), 0);
        }
        EXPECT_TRUE(seat.played.empty());
    }
}

TEST_F(DeskLayoutTest, SceneWideElementsStartWithReadyAndReturnOnly) {
    CDeskScene* desk = startDesk(7, 0);
    DeskProbe probe{*desk};

    struct ButtonLayout {
        ui::Button* button;
        Vec2 position;
        float scale;
        int z;
        bool visible;
    };
    const Size returnSize = probe.returnButton()->getContentSize();
    const ButtonLayout buttons[] = {
        {probe.returnButton(), Vec2(1024 - returnSize.width / 2, 768 - returnSize.height / 2), 1.0f,
         0, true},
        {probe.play(), Vec2(412, 170), 0.8f, 2, false},
        {probe.pass(), Vec2(612, 170), 0.8f, 2, false},
        {probe.ready(), Vec2(512, 170), 0.8f, 2, true},
    };
    for (const ButtonLayout& want : buttons) {
        EXPECT_EQ(want.button->getPosition(), want.position);
        EXPECT_FLOAT_EQ(want.button->getScale(), want.scale);
        EXPECT_EQ(want.button->getLocalZOrder(), want.z);
        EXPECT_EQ(want.button->isVisible(), want.visible);
        EXPECT_TRUE(want.button->isEnabled());
    }

    EXPECT_EQ(probe.deskLabel()->getString(), "Desk:7");
    EXPECT_EQ(probe.deskLabel()->getPosition(), Vec2(512, 384));
    EXPECT_EQ(probe.ownScore()->getPosition(), Vec2(80, 750));
    EXPECT_EQ(probe.otherScore()->getPosition(), Vec2(170, 750));
    EXPECT_EQ(probe.tableScore()->getPosition(), Vec2(512, 414));
    for (Label* score : {probe.ownScore(), probe.otherScore(), probe.tableScore()}) {
        EXPECT_EQ(score->getString(), "0");
    }
    EXPECT_EQ(probe.ownScore()->getColor(), Color3B::BLACK);
    EXPECT_EQ(probe.otherScore()->getColor(), Color3B::BLACK);
    EXPECT_FALSE(probe.gameRunning());
    EXPECT_EQ(probe.turnSite(), -1);
    EXPECT_TRUE(probe.hand().empty());
}

// Server seat s shows at screen position (s - own seat + 4) % 4, through one shared record.
TEST_F(DeskLayoutTest, ServerSeatsMapAroundTheLocalPlayer) {
    struct Case {
        int mySite;
        int bottom, right, top, left;
    };
    for (const Case& c : {Case{0, 0, 1, 2, 3}, Case{2, 2, 3, 0, 1}, Case{3, 3, 0, 1, 2}}) {
        SCOPED_TRACE(c.mySite);
        DeskProbe probe{*startDesk(1, c.mySite)};
        ASSERT_EQ(probe.siteMap().size(), 4u);
        const int shownAt[] = {c.bottom, c.right, c.top, c.left};
        for (int position = 0; position < 4; ++position) {
            EXPECT_EQ(probe.siteMap().at(shownAt[position]),
                      probe.seats()[static_cast<std::size_t>(position)]);
        }
        probe.seat(c.top).name_label->setString("seen through both");
        EXPECT_EQ(probe.seats()[2]->name_label->getString(), "seen through both");
    }
}

// A local seat outside 0..3 names no seat: nothing is mapped, and the desk still runs.
TEST_F(DeskLayoutTest, LocalSeatOutsideTheTableMapsNoSeat) {
    CDeskScene* desk = startDesk(1, 0);
    for (int site : {4, -1, 9}) {
        desk->setDeskInfo(2, site, "me");
        EXPECT_TRUE(DeskProbe{*desk}.siteMap().empty());
    }
    feed(
        R"({"opt":"change","info":[{"name":"a","ready":"1"},{"name":""},{"name":"c"},{"name":"d"}]})");
    feed(R"({"opt":"start","cards":"3,1,2"})");
    feed(R"({"opt":"game","per":"0","now":"1","cards":"5","surplus":"2","score":"5","must":"0"})");
    feed(R"({"opt":"score","p0":"10","p1":"20"})");
    feed(
        R"({"opt":"over","info":[{"result":"1"},{"result":"-1"},{"result":"1"},{"result":"-1"}]})");
    headless::tap(512, 170);
    DeskProbe probe{*desk};
    EXPECT_EQ(runningDesk(), desk);
    EXPECT_TRUE(probe.siteMap().empty());
    EXPECT_EQ(probe.tableScore()->getString(), "0");
    EXPECT_EQ(probe.turnSite(), -1);
    EXPECT_TRUE(headless::messageBoxes().empty());  // no own result to show
}

TEST_F(DeskLayoutTest, DealtHandIsCentredEighteenPointsApart) {
    DeskProbe probe{*startDesk(1, 0)};
    feed(R"({"opt":"start","cards":"9"})");
    ASSERT_EQ(probe.hand().size(), 1u);
    const float w = probe.hand()[0]->getContentSize().width;
    EXPECT_EQ(probe.hand()[0]->getPosition(), Vec2(512 + w / 4, 45));

    headless::tap(512, 170);  // ready clears the hand
    ASSERT_TRUE(probe.hand().empty());
    std::string cards;
    for (int i = 0; i < 27; ++i) {
        cards += std::to_string(26 - i) + ",";
    }
    feed(R"({"opt":"start","cards":")" + cards + R"("})");
    ASSERT_EQ(probe.hand().size(), 27u);
    EXPECT_FLOAT_EQ(probe.hand().front()->getPositionX(), 512 - 234 + w / 4);
    EXPECT_FLOAT_EQ(probe.hand().back()->getPositionX(), 512 + 234 + w / 4);
    for (std::size_t i = 0; i < 27; ++i) {
        EXPECT_EQ(probe.hand()[i]->m_card, static_cast<int>(i));
        EXPECT_FLOAT_EQ(probe.hand()[i]->getPositionX(), 512 - 234 + 18.0f * i + w / 4);
        EXPECT_FLOAT_EQ(probe.hand()[i]->getPositionY(), 45);
        EXPECT_EQ(probe.hand()[i]->getLocalZOrder(), 1);
        EXPECT_FALSE(probe.hand()[i]->m_selected);
    }
}
