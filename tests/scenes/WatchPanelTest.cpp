// The hall's watching: 观战 only where the server offers it and no seat is asked, the watch
// panel's list drawn from "desks" answers and asked again while open, the wheel and a drag
// scrolling it, a row picked sending "watch" once, a refusal in words, and the join panel's 观战.

#include <algorithm>
#include <string>
#include <vector>

#include "engine/backend/headless/Headless.h"
#include "tests/net/DesksText.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using Key = EventKeyboard::KeyCode;
using Texts = std::vector<std::string>;

namespace {

const char* const kWatchHello =
    R"({"opt":"hello","status":"ok","resume":"0","private":"1","watch":"1"})";
const char* const kOlderHello = R"({"opt":"hello","status":"ok","resume":"0","private":"1"})";
const std::string kDesksAsked = R"({"opt":"desks"})";
const Vec2 kWatchButton(512, 270);
constexpr int kFirstDesk = 11;  // a list's desks are numbered from here on

void tapOn(const Vec2& at) {
    headless::tap(at.x, at.y);
}

Vec2 slotCentre(int slot) {
    return Vec2(300, CWatchPanel::kFirstRowY - CWatchPanel::kRowStep * static_cast<float>(slot));
}

std::string watchSent(int desk) {
    return R"({"opt":"watch","desk":)" + std::to_string(desk) + "}";
}

// The status line when it shows, else the top and the bottom slot's desk and the range text.
std::string shown(const WatchPanelProbe& probe) {
    if (probe.status()->isVisible()) {
        return probe.status()->getString();
    }
    const int last = WatchList::kVisibleRows - 1;
    return probe.cell(0, WatchList::kDesk)->getString() + "|" +
           probe.cell(last, WatchList::kDesk)->getString() + "|" + probe.range()->getString();
}

}  // namespace

class WatchPanelTest : public SceneTest {
protected:
    // The link's offer goes with the test: later tests see a server without watching.
    void TearDown() override {
        feed(R"({"opt":"hello","status":"ok","resume":"0"})");
        SceneTest::TearDown();
    }
    // A new hall on a link whose hello answer was `hello`; nothing sent yet.
    CHallScene* hallAfter(const char* hello) {
        m_hall = startHall();
        feed(hello);
        step(0.2);
        takeSent();
        return m_hall;
    }
    // The watch panel opened by 观战, waiting for the "desks" it sent.
    WatchPanelProbe openedPanel() {
        HallProbe hall{*hallAfter(kWatchHello)};
        tapOn(kWatchButton);
        EXPECT_NE(hall.watchPanel(), nullptr) << "观战 builds the panel";
        WatchPanelProbe probe{*hall.watchPanel()};
        EXPECT_TRUE(probe.panel.isOpen());
        EXPECT_EQ(takeSent(), Texts{kDesksAsked});
        EXPECT_EQ(shown(probe), WatchList::kWaitingText);
        return probe;
    }

    CHallScene* m_hall = nullptr;
};

TEST_F(WatchPanelTest, WatchOpensThePanelOnlyWhereOfferedAndNoSeatIsAsked) {
    struct Row {
        const char* hello;
        bool askSeat;  // quick join first
        bool shown;
        bool opens;
    };
    const Row rows[] = {
        {kWatchHello, false, true, true},
        {kWatchHello, true, true, false},
        {kOlderHello, false, false, false},
        {R"({"opt":"hello","status":"refused","watch":"1"})", false, false, false},
        {R"({"opt":"hello","status":"ok","resume":"0","watch":"0"})", false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.hello) + (row.askSeat ? " after quick join" : ""));
        HallProbe probe{*hallAfter(row.hello)};
        if (row.askSeat) {
            tapOn(Vec2(512, 384));
            step(0.2);
            takeSent();
        }
        EXPECT_EQ(probe.watch()->isVisible(), row.shown);
        tapOn(kWatchButton);
        // A panel never built is not open.
        EXPECT_EQ(probe.watchPanel() != nullptr && probe.watchPanel()->isOpen(), row.opens);
        EXPECT_EQ(takeSent(), row.opens ? Texts{kDesksAsked} : Texts{});
        headless::typeKey(Key::KEY_ESCAPE);
    }
}

TEST_F(WatchPanelTest, ARowShowsTheDeskTeamsScoresTimeAndWatchers) {
    WatchPanelProbe probe = openedPanel();
    feed(desksText(deskEntry(3, {"小明", "电脑甲", "", "阿强"}, 1)));
    std::string row;
    for (int column = 0; column < WatchList::kColumns; ++column) {
        row += (column == 0 ? "" : "|") + probe.cell(0, column)->getString();
    }
    EXPECT_EQ(row, "3号桌|小明、空位|电脑甲(电脑)、阿强|120|35|5:12|2");
}

// 23 desks; the wheel and a drag of `drag` row pitches (up: later rows), then an answer of
// `count` desks, and two touches at `pickAt`.
TEST_F(WatchPanelTest, TheWheelAndADragScrollClampedAndARowPickedSendsWatchOnce) {
    struct Row {
        const char* what;
        std::vector<float> notches;
        float drag;
        int count;
        const char* shown;  // after the scroll and after the answer
        Vec2 pickAt;
        int picked;  // the desk asked for; 0 none
        Vec2 wheelAt = Vec2(512, 384);
    };
    const Vec2 top = slotCentre(0);
    const char* start = "11号桌|19号桌|1-9 / 23";
    const Row rows[] = {
        {"the top row", {}, 0, 23, start, top, 11},
        {"the fourth row", {}, 0, 23, start, slotCentre(3), 14},
        {"a notch towards the user", {1}, 0, 23, "12号桌|20号桌|2-10 / 23", top, 12},
        {"the last row, clamped at the end",
         {3, 40},
         0,
         23,
         "25号桌|33号桌|15-23 / 23",
         slotCentre(8),
         33},
        {"back, clamped at the start", {5, -2, -30}, 0, 23, start, top, 11},
        {"the wheel off the board", {3}, 0, 23, start, top, 11, Vec2(30, 30)},
        {"a drag up", {}, 2.2f, 23, "13号桌|21号桌|3-11 / 23", top, 13},
        {"a drag down after the wheel", {6}, -4.5f, 23, "13号桌|21号桌|3-11 / 23", top, 13},
        {"a drag down, clamped", {2}, -6, 23, start, top, 11},
        {"a shorter answer pulls the window back", {40}, 0, 12, "14号桌|22号桌|4-12 / 12", top, 14},
        {"an empty slot", {40}, 0, 2, "11号桌||", slotCentre(5), 0},
        {"an empty list", {}, 0, 0, WatchList::kEmptyText, top, 0},
        {"the headings", {}, 0, 23, start, Vec2(300, 610), 0},
        {"left of the list", {}, 0, 23, start, Vec2(70, 566), 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        WatchPanelProbe probe = openedPanel();
        feed(desksText(kFirstDesk, 23));
        for (float notches : row.notches) {
            headless::wheel(row.wheelAt.x, row.wheelAt.y, notches);
        }
        if (row.drag != 0) {
            const Vec2 from = slotCentre(4);
            const float to = from.y + row.drag * CWatchPanel::kRowStep;
            headless::touchBegin(from.x, from.y);
            headless::touchMove(from.x, (from.y + to) / 2);
            headless::touchMove(from.x, to);
            headless::touchEnd(from.x, to);
            step(0.05);
        }
        EXPECT_TRUE(takeSent().empty()) << "a scroll is no pick";
        if (row.count == 23) {
            EXPECT_EQ(shown(probe), row.shown) << "drawn at once";
        }
        feed(desksText(kFirstDesk, row.count));  // a refresh keeps the place if it can
        EXPECT_EQ(shown(probe), row.shown);
        tapOn(row.pickAt);
        tapOn(row.pickAt);  // a second pick waits for the first's answer
        EXPECT_EQ(takeSent(), row.picked != 0 ? Texts{watchSent(row.picked)} : Texts{});
        EXPECT_EQ(probe.message()->getString(), row.picked != 0 ? WatchList::kEnteringText : "");
        EXPECT_TRUE(probe.panel.isOpen());
        EXPECT_EQ(runningHall(), m_hall) << "the hall stays until the watch is accepted";
    }
}

TEST_F(WatchPanelTest, ItAsksAgainEveryThreeSecondsWhileOpenAndNotAfterClosing) {
    WatchPanelProbe probe = openedPanel();
    step(2.8);
    EXPECT_TRUE(takeSent().empty());
    step(0.3);
    EXPECT_EQ(takeSent(), Texts{kDesksAsked});
    step(3.05);
    EXPECT_EQ(takeSent(), Texts{kDesksAsked});
    for (int way = 0; way < 3; ++way) {  // Esc, 关闭, a touch off the board
        if (way == 0) {
            headless::typeKey(Key::KEY_ESCAPE);
        } else {
            tapOn(way == 1 ? Vec2(882, 670) : Vec2(20, 20));
        }
        EXPECT_FALSE(probe.panel.isOpen()) << way;
        step(7);
        const Texts sent = takeSent();  // the hall's own query may be among them
        EXPECT_EQ(std::count(sent.begin(), sent.end(), kDesksAsked), 0) << way;
        tapOn(kWatchButton);
        EXPECT_EQ(takeSent(), Texts{kDesksAsked}) << way << ": reopened";
    }
}

TEST_F(WatchPanelTest, ARefusalIsShownAndAnotherPickGoesOutAsAfterReopening) {
    WatchPanelProbe probe = openedPanel();
    feed(desksText(kFirstDesk, 3));
    tapOn(slotCentre(1));
    feed(R"({"opt":"watch","status":"refused","reason":"no such desk"})");
    EXPECT_EQ(probe.message()->getString(), "这桌的牌局已经结束");
    tapOn(slotCentre(2));
    EXPECT_EQ(takeSent(), (Texts{watchSent(12), watchSent(13)}));
    // Closed while an answer is awaited, the panel opens afresh.
    headless::typeKey(Key::KEY_ESCAPE);
    tapOn(kWatchButton);
    EXPECT_EQ(probe.message()->getString(), "");
    feed(desksText(kFirstDesk, 3));
    tapOn(slotCentre(0));
    EXPECT_EQ(takeSent(), (Texts{kDesksAsked, watchSent(11)}));
}

// Six digits and a touch at 观战: sent where offered; where not, a touch off the shorter board.
TEST_F(WatchPanelTest, TheJoinPanelWatchesByCodeWhereOffered) {
    struct Row {
        const char* hello;
        const char* refusal;  // nullptr: none
        const char* message;
        const char* field;
    };
    const Row rows[] = {
        {kWatchHello, nullptr, WatchList::kEnteringText, "0 4 2 0 0 7"},
        {kWatchHello, R"({"opt":"watch","status":"refused","reason":"no such desk"})",
         "牌桌号不对或已过期", "_ _ _ _ _ _"},
        {kOlderHello, nullptr, "", "_ _ _ _ _ _"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.hello) + (row.refusal ? row.refusal : ""));
        const bool offered = row.hello == kWatchHello;
        HallProbe hall{*hallAfter(row.hello)};
        tapOn(Vec2(774, 384));
        CJoinPanel* panel = hall.joinPanel();
        ASSERT_NE(panel, nullptr) << "加入牌桌 builds the panel";
        for (Key key : {Key::KEY_0, Key::KEY_4, Key::KEY_2, Key::KEY_0, Key::KEY_0, Key::KEY_7}) {
            headless::typeKey(key);
        }
        tapOn(Vec2(512, 215));
        EXPECT_EQ(takeSent(), offered ? Texts{R"({"opt":"watch","code":"042007"})"} : Texts{});
        if (row.refusal != nullptr) {
            feed(row.refusal);
        }
        EXPECT_EQ(panel->code().message(), row.message);
        EXPECT_EQ(panel->code().fieldText(), row.field);
        EXPECT_EQ(panel->isOpen(), offered);
        headless::typeKey(Key::KEY_ESCAPE);
    }
}
