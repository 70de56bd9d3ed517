// The hall's watching: 观战 shown only where the server offers it, the watch panel's list drawn
// from "desks" answers, its refresh while open, a row picked sending "watch", the wheel and a
// drag scrolling a long list, refusals in words, and the join panel's 观战 sending the code.

#include <algorithm>
#include <string>
#include <vector>

#include "engine/backend/headless/Headless.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using Key = EventKeyboard::KeyCode;

struct WatchPanelProbe {
    CWatchPanel& panel;
    Label* status() const { return panel.m_lblStatus; }
    Label* message() const { return panel.m_lblMessage; }
    Label* range() const { return panel.m_lblRange; }
    Label* cell(int slot, int column) const {
        return panel.m_rows.at(static_cast<std::size_t>(slot)).at(static_cast<std::size_t>(column));
    }
};

namespace {

const std::string kWatchHello =
    R"({"opt":"hello","status":"ok","resume":"0","private":"1","watch":"1"})";
const std::string kDesksAsked = R"({"opt":"desks"})";
const Vec2 kWatchButton(512, 270);
const Vec2 kJoinButton(774, 384);
const Vec2 kCloseButton(882, 670);
const Vec2 kJoinWatchKey(512, 215);
constexpr float kRowX = 300;

// The centre of the panel's slot `slot`.
Vec2 slotCentre(int slot) {
    return Vec2(kRowX, CWatchPanel::kFirstRowY - CWatchPanel::kRowStep * static_cast<float>(slot));
}

// A seat as "desks" lists it; `name` ending in '*' is a computer player's.
std::string seat(std::string name) {
    const bool bot = !name.empty() && name.back() == '*';
    if (bot) {
        name.pop_back();
    }
    return R"({"name":")" + name + R"(","bot":")" + (bot ? "1" : "0") + R"("})";
}

std::string entry(int desk, const std::vector<std::string>& names, const char* p0 = "120",
                  const char* p1 = "35", int seconds = 312, int watchers = 2) {
    std::string seats;
    for (const std::string& name : names) {
        seats += (seats.empty() ? "" : ",") + seat(name);
    }
    return R"({"desk":")" + std::to_string(desk) + R"(","p0":")" + p0 + R"(","p1":")" + p1 +
           R"(","seconds":")" + std::to_string(seconds) + R"(","watchers":")" +
           std::to_string(watchers) + R"(","seats":[)" + seats + "]}";
}

// "desks" with desks first .. first+count-1, each seated by a, b, c, d.
std::string manyDesks(int first, int count) {
    std::string entries;
    for (int desk = first; desk < first + count; ++desk) {
        entries += (entries.empty() ? "" : ",") + entry(desk, {"a", "b", "c", "d"});
    }
    return R"({"opt":"desks","info":[)" + entries + "]}";
}

std::string watchRefusal(const std::string& reason, const std::string& retry = "") {
    return R"({"opt":"watch","status":"refused","reason":")" + reason + "\"" +
           (retry.empty() ? "" : R"(,"retry":")" + retry + "\"") + "}";
}

}  // namespace

class WatchPanelTest : public SceneTest {
protected:
    // The link's offer goes with the test: later tests see a server without watching.
    void TearDown() override {
        feed(R"({"opt":"hello","status":"ok","resume":"0"})");
        SceneTest::TearDown();
    }
    // A hall on a link whose hello offered watching, its watch panel opened by 观战, and the
    // panel's first "desks" taken from what was sent.
    WatchPanelProbe openedPanel() {
        m_hall = startHall();
        feed(kWatchHello);
        step(0.2);
        takeSent();
        headless::tap(kWatchButton.x, kWatchButton.y);
        CWatchPanel* panel = HallProbe{*m_hall}.watchPanel();
        EXPECT_TRUE(panel->isOpen());
        EXPECT_EQ(takeSent(), std::vector<std::string>{kDesksAsked});
        return WatchPanelProbe{*panel};
    }
    // The desk numbers the slots show, "" for an empty one, joined by spaces.
    static std::string shownDesks(const WatchPanelProbe& probe) {
        std::string out;
        for (int slot = 0; slot < WatchList::kVisibleRows; ++slot) {
            out += (slot == 0 ? "" : " ") + probe.cell(slot, WatchList::kDesk)->getString();
        }
        return out;
    }

    CHallScene* m_hall = nullptr;
};

TEST_F(WatchPanelTest, TheWatchButtonShowsOnlyWhereTheHelloOffersWatching) {
    struct Row {
        const char* hello;
        bool shown;
    };
    const Row rows[] = {
        {R"({"opt":"hello","status":"ok","resume":"0","watch":"1"})", true},
        {R"({"opt":"hello","status":"ok","resume":"0","private":"1"})", false},  // an older server
        {R"({"opt":"hello","status":"refused","reason":"bad token","watch":"1"})", false},
        {R"({"opt":"hello","status":"ok","resume":"0","watch":"0"})", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hello);
        CHallScene* hall = startHall();
        feed(row.hello);
        step(0.2);
        takeSent();
        HallProbe probe{*hall};
        EXPECT_EQ(probe.watch()->isVisible(), row.shown);
        EXPECT_EQ(probe.quickJoin()->getPosition(), Vec2(512, 384));
        headless::tap(kWatchButton.x, kWatchButton.y);
        EXPECT_EQ(probe.watchPanel()->isOpen(), row.shown);
        const std::vector<std::string> sent = takeSent();
        EXPECT_EQ(sent,
                  row.shown ? std::vector<std::string>{kDesksAsked} : std::vector<std::string>{});
        headless::typeKey(Key::KEY_ESCAPE);
    }
}

TEST_F(WatchPanelTest, TheWatchButtonIsDisabledWhileASeatIsAskedFor) {
    CHallScene* hall = startHall();
    feed(kWatchHello);
    step(0.2);
    HallProbe probe{*hall};
    EXPECT_TRUE(probe.watch()->isEnabled());
    headless::tap(512, 384);  // quick join
    step(0.2);
    EXPECT_FALSE(probe.watch()->isEnabled());
    takeSent();
    headless::tap(kWatchButton.x, kWatchButton.y);
    EXPECT_FALSE(probe.watchPanel()->isOpen());
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(WatchPanelTest, TheListShowsEachDesksPlayersScoresTimeAndWatchers) {
    struct Row {
        const char* what;
        std::string answer;
        std::string status;              // what the status line says; "" hidden
        std::vector<std::string> first;  // slot 0's desk, teams, scores, time, watchers
        std::string range;
    };
    const std::vector<std::string> none = {"", "", "", "", "", "", ""};
    const Row rows[] = {
        {"computer players marked, minutes and seconds",
         R"({"opt":"desks","info":[)" +
             entry(3, {"小明", "电脑甲*", "小红", "阿强"}, "120", "35", 312, 2) + "," +
             entry(7, {"a", "b", "c", "d"}) + "]}",
         "",
         {"3号桌", "小明、小红", "电脑甲(电脑)、阿强", "120", "35", "5:12", "2"},
         ""},
        {"a long game keeps counting minutes; no one watching",
         R"({"opt":"desks","info":[)" + entry(12, {"a*", "b*", "c", "d"}, "0", "240", 3725, 0) +
             "]}",
         "",
         {"12号桌", "a(电脑)、c", "b(电脑)、d", "0", "240", "62:05", "0"},
         ""},
        {"an empty list says so", R"({"opt":"desks","info":[]})", WatchList::kEmptyText, none, ""},
        {"a list longer than the window says which rows show",
         manyDesks(1, 23),
         "",
         {"1号桌", "a、c", "b、d", "120", "35", "5:12", "2"},
         "1-9 / 23"},
    };
    for (const Row& row : rows) {
        WatchPanelProbe probe = openedPanel();
        EXPECT_EQ(probe.status()->getString(), WatchList::kWaitingText) << row.what;
        feed(row.answer);
        EXPECT_EQ(probe.status()->isVisible(), !row.status.empty()) << row.what;
        if (!row.status.empty()) {
            EXPECT_EQ(probe.status()->getString(), row.status) << row.what;
        }
        for (int column = 0; column < WatchList::kColumns; ++column) {
            EXPECT_EQ(probe.cell(0, column)->getString(), row.first[column])
                << row.what << ", column " << column;
        }
        EXPECT_EQ(probe.range()->getString(), row.range) << row.what;
    }
}

TEST_F(WatchPanelTest, ItAsksAgainEveryThreeSecondsWhileOpenAndNotAfterClosing) {
    openedPanel();
    step(2.8);
    EXPECT_TRUE(takeSent().empty());
    step(0.3);
    EXPECT_EQ(takeSent(), std::vector<std::string>{kDesksAsked});
    step(3.05);
    EXPECT_EQ(takeSent(), std::vector<std::string>{kDesksAsked});

    for (const char* how : {"Esc", "关闭", "a touch off the board"}) {
        const std::string closing = how;
        if (closing == "Esc") {
            headless::typeKey(Key::KEY_ESCAPE);
        } else if (closing == "关闭") {
            headless::tap(kCloseButton.x, kCloseButton.y);
        } else {
            headless::tap(20, 20);
        }
        EXPECT_FALSE(HallProbe{*m_hall}.watchPanel()->isOpen()) << how;
        step(7);
        const std::vector<std::string> sent = takeSent();  // the hall's own query may be among them
        EXPECT_EQ(std::count(sent.begin(), sent.end(), kDesksAsked), 0) << how;
        headless::tap(kWatchButton.x, kWatchButton.y);
        EXPECT_EQ(takeSent(), std::vector<std::string>{kDesksAsked}) << how << ": reopened";
    }
}

TEST_F(WatchPanelTest, APickedRowSendsWatchForItsDeskOnce) {
    struct Row {
        const char* what;
        float notches;  // the wheel before the pick
        int slot;
        std::vector<std::string> sent;
    };
    const Row rows[] = {
        {"the first row", 0, 0, {R"({"opt":"watch","desk":5})"}},
        {"the fourth row", 0, 3, {R"({"opt":"watch","desk":8})"}},
        {"after scrolling two rows", 2, 0, {R"({"opt":"watch","desk":7})"}},
        {"the last row scrolled to the end", 50, 8, {R"({"opt":"watch","desk":24})"}},
    };
    for (const Row& row : rows) {
        WatchPanelProbe probe = openedPanel();
        feed(manyDesks(5, 20));
        if (row.notches != 0) {
            headless::wheel(512, 384, row.notches);
        }
        const Vec2 at = slotCentre(row.slot);
        headless::tap(at.x, at.y);
        headless::tap(at.x, at.y);  // a second pick waits for the first's answer
        EXPECT_EQ(takeSent(), row.sent) << row.what;
        EXPECT_EQ(probe.message()->getString(), WatchList::kEnteringText) << row.what;
        EXPECT_EQ(runningHall(), m_hall) << row.what << ": the hall stays until accepted";
    }
}

TEST_F(WatchPanelTest, APickOnAnEmptySlotOrTheHeadingsSendsNothing) {
    WatchPanelProbe probe = openedPanel();
    feed(manyDesks(1, 2));
    for (const Vec2& at : {slotCentre(2), slotCentre(8), Vec2(kRowX, 610), Vec2(70, 566)}) {
        headless::tap(at.x, at.y);
    }
    EXPECT_TRUE(takeSent().empty());
    EXPECT_TRUE(probe.panel.isOpen()) << "touches on the board keep it open";
    EXPECT_EQ(probe.message()->getString(), "");
}

TEST_F(WatchPanelTest, TheWheelAndADragScrollALongListClamped) {
    struct Row {
        const char* what;
        std::vector<float> notches;
        float dragRows;  // then a drag of this many row pitches (up: later rows)
        std::string shown;
    };
    const Row rows[] = {
        {"one notch towards the user",
         {1},
         0,
         "2号桌 3号桌 4号桌 5号桌 6号桌 7号桌 8号桌 9号桌 10号桌"},
        {"clamped at the end",
         {3, 40},
         0,
         "15号桌 16号桌 17号桌 18号桌 19号桌 20号桌 21号桌 22号桌 23号桌"},
        {"back and clamped at the start",
         {5, -2, -30},
         0,
         "1号桌 2号桌 3号桌 4号桌 5号桌 6号桌 7号桌 8号桌 9号桌"},
        {"a drag up by two rows",
         {},
         2.2f,
         "3号桌 4号桌 5号桌 6号桌 7号桌 8号桌 9号桌 10号桌 11号桌"},
        {"a drag down after the wheel",
         {6},
         -4.5f,
         "3号桌 4号桌 5号桌 6号桌 7号桌 8号桌 9号桌 10号桌 11号桌"},
        {"a drag far down clamps",
         {2},
         -6.0f,
         "1号桌 2号桌 3号桌 4号桌 5号桌 6号桌 7号桌 8号桌 9号桌"},
    };
    for (const Row& row : rows) {
        WatchPanelProbe probe = openedPanel();
        feed(manyDesks(1, 23));
        for (float notches : row.notches) {
            headless::wheel(512, 384, notches);
        }
        if (row.dragRows != 0) {
            const Vec2 from = slotCentre(4);
            const float to = from.y + row.dragRows * CWatchPanel::kRowStep;
            headless::touchBegin(from.x, from.y);
            headless::touchMove(from.x, (from.y + to) / 2);
            headless::touchMove(from.x, to);
            headless::touchEnd(from.x, to);
            step(0.05);
        }
        EXPECT_EQ(shownDesks(probe), row.shown) << row.what;
        EXPECT_TRUE(takeSent().empty()) << row.what << ": a drag is no pick";
        // A refresh keeps the place in the list.
        feed(manyDesks(1, 23));
        EXPECT_EQ(shownDesks(probe), row.shown) << row.what << " after a refresh";
    }
}

TEST_F(WatchPanelTest, TheWheelOutsideTheBoardOrWithThePanelClosedScrollsNothing) {
    WatchPanelProbe probe = openedPanel();
    feed(manyDesks(1, 23));
    headless::wheel(30, 30, 3);
    EXPECT_EQ(probe.cell(0, WatchList::kDesk)->getString(), "1号桌");
    headless::typeKey(Key::KEY_ESCAPE);
    headless::wheel(512, 384, 3);
    EXPECT_EQ(probe.panel.list().firstRow(), 0);
}

TEST_F(WatchPanelTest, ARefusedWatchShowsItsReasonAndAnotherPickGoesOut) {
    struct Row {
        std::string refusal;
        const char* text;
    };
    const Row rows[] = {
        {watchRefusal("already seated"), "你已经在牌桌上"},
        {watchRefusal("no such desk"), "这桌的牌局已经结束"},
        {watchRefusal("too many wrong codes", "42"), "输错太多次，请42秒后再试"},
    };
    for (const Row& row : rows) {
        WatchPanelProbe probe = openedPanel();
        feed(manyDesks(1, 3));
        headless::tap(slotCentre(1).x, slotCentre(1).y);
        feed(row.refusal);
        EXPECT_EQ(probe.message()->getString(), row.text) << row.refusal;
        headless::tap(slotCentre(2).x, slotCentre(2).y);
        EXPECT_EQ(takeSent(), (std::vector<std::string>{R"({"opt":"watch","desk":2})",
                                                        R"({"opt":"watch","desk":3})"}))
            << row.refusal;
    }
}

TEST_F(WatchPanelTest, TheJoinPanelWatchesByCodeAndShowsTheRefusal) {
    struct Row {
        std::string refusal;  // "" none
        const char* message;
        const char* field;
    };
    const Row rows[] = {
        {"", WatchList::kEnteringText, "0 4 2 0 0 7"},
        {watchRefusal("no such desk"), "牌桌号不对或已过期", "_ _ _ _ _ _"},
        {watchRefusal("too many wrong codes", "30"), "输错太多次，请30秒后再试", "_ _ _ _ _ _"},
    };
    for (const Row& row : rows) {
        CHallScene* hall = startHall();
        feed(kWatchHello);
        step(0.2);
        takeSent();
        headless::tap(kJoinButton.x, kJoinButton.y);
        CJoinPanel* panel = HallProbe{*hall}.joinPanel();
        ASSERT_TRUE(panel->isOpen());
        for (Key key : {Key::KEY_0, Key::KEY_4, Key::KEY_2, Key::KEY_0, Key::KEY_0, Key::KEY_7}) {
            headless::typeKey(key);
        }
        headless::tap(kJoinWatchKey.x, kJoinWatchKey.y);
        EXPECT_EQ(takeSent(), std::vector<std::string>{R"({"opt":"watch","code":"042007"})"})
            << row.refusal;
        if (!row.refusal.empty()) {
            feed(row.refusal);
        }
        EXPECT_EQ(panel->code().message(), row.message) << row.refusal;
        EXPECT_EQ(panel->code().fieldText(), row.field) << row.refusal;
        EXPECT_TRUE(panel->isOpen()) << row.refusal;
        headless::typeKey(Key::KEY_ESCAPE);
    }
}

TEST_F(WatchPanelTest, WithoutTheOfferTheJoinPanelHasNoWatchKey) {
    CHallScene* hall = startHall();
    feed(R"({"opt":"hello","status":"ok","resume":"0","private":"1"})");
    step(0.2);
    takeSent();
    headless::tap(kJoinButton.x, kJoinButton.y);
    CJoinPanel* panel = HallProbe{*hall}.joinPanel();
    ASSERT_TRUE(panel->isOpen());
    for (int i = 0; i < 6; ++i) {
        headless::typeKey(Key::KEY_1);
    }
    headless::tap(kJoinWatchKey.x, kJoinWatchKey.y);  // off the short board: closes it
    EXPECT_TRUE(takeSent().empty());
    EXPECT_FALSE(panel->isOpen());
}
