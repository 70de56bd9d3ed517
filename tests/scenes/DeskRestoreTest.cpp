// Back in the seat: the desk restored from the server's "resume", at several moments of a game
// and between games, checked as the player sees it; and the hall that opens it by itself.

#include <algorithm>

#include "engine/backend/headless/Headless.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/DeskStateText.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using K = EventKeyboard::KeyCode;

namespace {

using Codes = std::vector<int>;

// A "resume" as the server writes it.
struct Resume : DeskState {
    int desk = 7;
    int site = 2;
    std::string hand;

    std::string json() const {
        return DeskState::json(jsonPair("opt", "resume") + "," +
                                   jsonPair("desk", std::to_string(desk)) + "," +
                                   jsonPair("site", std::to_string(site)) + "," +
                                   jsonPair("name", "me"),
                               jsonPair("cards", hand) + ",");
    }
};

// Seat 2 ("me") at desk 7, mid-game: seat 0 played a pair of nines, seat 1 passed, seat 3 is
// out; the local seat holds twelve cards and has played a three before. Seen: that three, two
// sixes of an earlier trick and the nines.
Resume midGame() {
    Resume r;
    r.seats[0] = {"Rainbow", "1", "20", "32,33,", "0"};
    r.seats[1] = {"Lotus", "1", "15", "", "1"};
    r.seats[2] = {"me", "1", "12", "", "0"};
    r.seats[3] = {"Pebble", "1", "0", "", "0"};
    r.hand = "0,1,4,6,8,9,10,13,16,17,19,22,";
    r.seen = "11,20,21,32,33,";
    r.last = "32,33,";
    r.lastsite = "0";
    r.score = "25";
    r.p0 = "120";
    r.p1 = "85";
    r.now = "2";
    r.left = "12800";
    return r;
}

// The tracker's columns: 3 is column 0, 6 column 3, 9 column 6, A column 11, 2 column 12.
struct Unseen {
    int column;
    int count;
};

// What the player sees at each moment.
struct Moment {
    const char* what;
    Resume resume;
    Codes hand;
    std::array<const char*, 4> counts;  // cards-left labels by server seat ("" for the own)
    std::array<Codes, 4> table;         // cards on the table by server seat
    std::array<bool, 4> passShown;
    std::array<bool, 4> overShown;
    int countdownSeat;  // -1: none
    const char* countdown;
    bool play, pass, hint, ready;
    Codes lastPlay;
    bool gameRunning;
    std::vector<Unseen> unseen;
};

std::vector<Moment> moments() {
    const Codes hand{0, 1, 4, 6, 8, 9, 10, 13, 16, 17, 19, 22};
    std::vector<Moment> rows;

    Moment own{"own turn on a pair of nines",
               midGame(),
               hand,
               {"20", "15", "", "0"},
               {Codes{32, 33}, {}, {}, {}},
               {false, true, false, false},
               {false, false, false, true},
               2,
               "13",
               true,
               true,
               true,
               false,
               {32, 33},
               true,
               {{0, 4}, {3, 5}, {6, 6}, {11, 6}, {12, 6}}};
    rows.push_back(own);

    Moment lead = own;
    lead.what = "own turn opening a trick";
    lead.resume.must = "1";
    lead.resume.last = "";
    lead.resume.lastsite = "-1";
    lead.resume.seats[0].cards = "";
    lead.resume.seats[1].pass = "0";
    lead.resume.left = "30000";
    lead.table = {};
    lead.passShown = {};
    lead.countdown = "30";
    lead.pass = false;
    lead.lastPlay = {};
    rows.push_back(lead);

    Moment other = own;
    other.what = "another seat's turn";
    other.resume.now = "0";
    other.resume.left = "999";
    other.countdownSeat = 0;
    other.countdown = "1";
    other.play = other.pass = other.hint = false;
    rows.push_back(other);

    Moment between{"between games",
                   Resume{},
                   {},
                   {"", "", "", ""},
                   {},
                   {},
                   {},
                   -1,
                   "",
                   false,
                   false,
                   false,
                   true,
                   {},
                   false,
                   {{0, 8}, {11, 8}}};
    between.resume.playing = "0";
    between.resume.seats[0] = {"Rainbow", "1", "", "", "0"};
    between.resume.seats[1] = {"", "0", "", "", "0"};
    between.resume.seats[2] = {"me", "0", "", "", "0"};
    between.resume.seats[3] = {"Pebble", "0", "", "", "0"};
    rows.push_back(between);
    return rows;
}

}  // namespace

class DeskRestoreTest : public SceneTest {
protected:
    // The hall of a client started again; the server's hello and resume follow at once.
    CDeskScene* restoredFromTheHall(const Resume& resume) {
        startHall();
        takeSent();
        headless::clearRecords();
        push(R"({"opt":"hello","status":"ok","resume":"1"})");
        push(resume.json());
        headless::stepFrames(14);  // two polls and the scene change
        return runningDesk();
    }
};

TEST_F(DeskRestoreTest, EachMomentShowsTheGameAsTheServerHoldsIt) {
    for (const Moment& m : moments()) {
        SCOPED_TRACE(m.what);
        CDeskScene* desk = restoredFromTheHall(m.resume);
        ASSERT_NE(desk, nullptr) << "the hall opened the desk by itself";
        DeskProbe probe{*desk};
        EXPECT_EQ(probe.deskLabel()->getString(), "Desk:7");
        EXPECT_EQ(probe.mySite(), 2);
        EXPECT_EQ(codesOf(probe.hand()), m.hand) << "the hand exactly as sent";
        for (int site = 0; site < 4; ++site) {
            SCOPED_TRACE(site);
            const st_player_info& seat = probe.seat(site);
            EXPECT_EQ(seat.name_label->getString(), m.resume.seats[site].name);
            EXPECT_EQ(seat.count_label->getString(), m.counts[site]);
            EXPECT_EQ(codesOf(seat.played), m.table[site]);
            EXPECT_EQ(seat.pass_label->isVisible(), m.passShown[site]);
            EXPECT_EQ(seat.over_label->isVisible(), m.overShown[site]);
            EXPECT_EQ(seat.ready_sprite->isVisible(),
                      !m.gameRunning && m.resume.seats[site].ready == "1");
            EXPECT_EQ(seat.countdown->isVisible(), site == m.countdownSeat);
        }
        if (m.countdownSeat >= 0) {
            EXPECT_EQ(probe.seat(m.countdownSeat).countdown->getString(), m.countdown);
        }
        EXPECT_EQ(probe.tableScore()->getString(), m.gameRunning ? "25" : "0");
        EXPECT_EQ(probe.ownScore()->getString(), m.gameRunning ? "120" : "0") << "seats 0 and 2";
        EXPECT_EQ(probe.otherScore()->getString(), m.gameRunning ? "85" : "0");
        EXPECT_EQ(probe.play()->isVisible(), m.play);
        EXPECT_EQ(probe.pass()->isVisible(), m.pass);
        EXPECT_EQ(probe.hint()->isVisible(), m.hint);
        EXPECT_EQ(probe.ready()->isVisible(), m.ready);
        EXPECT_EQ(probe.lastPlay(), m.lastPlay);
        EXPECT_EQ(probe.gameRunning(), m.gameRunning);
        EXPECT_EQ(probe.turnSite(), m.countdownSeat);
        for (const Unseen& u : m.unseen) {
            EXPECT_EQ(probe.trackerPanel()->countText(u.column), std::to_string(u.count))
                << "column " << u.column;
        }
        // Nothing of the plays made meanwhile is heard; the local turn only chimes.
        for (const auto& sound : headless::sounds()) {
            if (sound.call == headless::SoundCall::PlayEffect) {
                EXPECT_EQ(sound.path, "sound/turn.wav");
                EXPECT_TRUE(m.play) << "a chime only when the local turn runs";
            }
        }
        EXPECT_TRUE(takeSent().empty()) << "coming back sends nothing";
        EXPECT_TRUE(headless::messageBoxes().empty());
    }
}

// The countdown starts where the server's turn timer is: whole seconds, rounded up (the times
// leave the test half a second of real time between the push and the desk).
TEST_F(DeskRestoreTest, TheCountdownStartsAtTheServersTimeLeft) {
    const std::pair<const char*, const char*> rows[] = {
        {"30000", "30"}, {"29500", "30"}, {"12800", "13"},   {"1000", "1"},
        {"0", "0"},      {"-40", "0"},    {"9999999", "30"},
    };
    for (const auto& [left, shown] : rows) {
        SCOPED_TRACE(left);
        Resume r = midGame();
        r.now = "0";
        r.left = left;
        CDeskScene* desk = restoredFromTheHall(r);
        ASSERT_NE(desk, nullptr);
        EXPECT_EQ(DeskProbe{*desk}.seat(0).countdown->getString(), shown);
    }
}

// The restored game goes on as any other: the turn's buttons and keys act, the countdown runs
// and acts, and the server's next plays are shown.
TEST_F(DeskRestoreTest, TheRestoredTurnPlaysOnAndItsCountdownRunsOut) {
    CDeskScene* desk = restoredFromTheHall(midGame());
    ASSERT_NE(desk, nullptr);
    DeskProbe probe{*desk};
    tapCard(probe.hand()[0]);  // the two aces beat the nines
    tapCard(probe.hand()[1]);
    headless::tap(412, 170);
    EXPECT_EQ(takeSent(),
              std::vector<std::string>{R"({"opt":"game","desk":7,"site":2,"cards":"0,1,"})"});
    EXPECT_EQ(probe.hand().size(), 10u);

    feed(gameMessage(2, "0,1", 3, 0, "10", 25));
    feed(gameMessage(3, "", 0, 0, "0", 25));
    feed(gameMessage(0, "", 2, 1, "20", 25));
    EXPECT_TRUE(probe.lastPlay().empty());
    EXPECT_FALSE(probe.pass()->isVisible()) << "leading: no pass";
    step(31.5);
    EXPECT_EQ(takeSent(),
              std::vector<std::string>{R"({"opt":"game","desk":7,"site":2,"cards":"4"})"})
        << "time ran out: the left-most card is led";
}

TEST_F(DeskRestoreTest, AResumeThatNamesNoSeatLeavesThePlayerInTheHall) {
    for (int site : {-1, 4, 9}) {
        Resume r = midGame();
        r.site = site;
        CHallScene* hall = startHall();
        push(r.json());
        headless::stepFrames(14);
        EXPECT_EQ(runningHall(), hall) << site;
    }
}

// Resume lists are the server's: one longer than the game's cards makes no more sprites.
TEST_F(DeskRestoreTest, ListsShowAtMostTheGamesCards) {
    Resume r = midGame();
    r.hand.clear();
    r.seats[0].cards.clear();
    for (int i = 0; i < 300; ++i) {
        r.hand += "5,";
        r.seats[0].cards += "7,";
    }
    CDeskScene* desk = restoredFromTheHall(r);
    ASSERT_NE(desk, nullptr);
    DeskProbe probe{*desk};
    EXPECT_EQ(probe.hand().size(), 108u);
    EXPECT_EQ(probe.seat(0).played.size(), 108u);
    EXPECT_EQ(probe.trackerPanel()->countText(12), "0") << "never below zero";
}
