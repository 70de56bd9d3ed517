// Watching a game: the desk a spectator sees, opened by the hall on an accepted "watch", checked
// as the spectator sees it: names, counts, the table, card backs instead of a hand, the seat it
// is seen from, no action of a player's, and the only texts it ever sends ("unwatch", "sit").

#include <algorithm>

#include "engine/backend/headless/Headless.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/DeskStateText.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using K = EventKeyboard::KeyCode;

namespace {

using Codes = std::vector<int>;

const std::string kUnwatch = R"({"opt":"unwatch"})";
const std::string kSit = R"({"opt":"sit"})";
const std::string kQuery = R"({"opt":"query"})";  // a new hall's, as it is built
const char* const kHello = R"({"opt":"hello","status":"ok","resume":"0","talk":"1","watch":"1"})";

// An accepted "watch" as the server writes it: no hand, no seat of its own.
struct Watch : DeskState {
    int desk = 5;
    int watchers = 2;
    std::string code;  // a private desk's

    std::string json() const {
        return DeskState::json(jsonPair("opt", "watch") + "," + jsonPair("status", "ok") + "," +
                               jsonPair("desk", std::to_string(desk)) + "," +
                               jsonPair("watchers", std::to_string(watchers)) +
                               (code.empty() ? "" : "," + jsonPair("code", code)));
    }
};

// Desk 5 mid-game: seat 0 (Ann) holds 12 and played a pair of nines, seat 1 (Bo) passed and
// holds 15, seat 2 (Cy) holds 9, seat 3 (Di) is out. Seat `now` is to move, 20 s left.
Watch midGame(int now) {
    Watch w;
    w.seats[0] = {"Ann", "1", "12", "32,33,"};
    w.seats[1] = {"Bo", "1", "15", "", "1"};
    w.seats[2] = {"Cy", "1", "9", ""};
    w.seats[3] = {"Di", "1", "0", ""};
    w.score = "25";
    w.p0 = "120";
    w.p1 = "85";
    w.now = std::to_string(now);
    w.left = "20000";
    return w;
}

// Between games at desk 5: seats named as given ("" a free seat), nobody ready.
Watch betweenGames(const std::array<const char*, 4>& names) {
    Watch w;
    w.playing = "0";
    for (std::size_t k = 0; k < 4; ++k) {
        w.seats[k] = {names[k], "0", "", ""};
    }
    return w;
}

std::string overMessage(const std::array<int, 4>& results) {
    const char* names[] = {"Ann", "Bo", "Cy", "Di"};
    std::string out = R"({"opt":"over","info":[)";
    for (std::size_t k = 0; k < 4; ++k) {
        out += std::string(k ? "," : "") + R"({"name":")" + names[k] + R"(","result":")" +
               std::to_string(results[k]) + R"("})";
    }
    return out + "]}";
}

bool shown(const ui::Button* button) {
    return button->isVisible() && button->isEnabled();
}

}  // namespace

class DeskWatchTest : public SceneTest {
protected:
    // The hall of a server that offers watching and talk; its answer to "watch" opens the desk.
    DeskProbe watching(const Watch& watch) {
        startHall();
        feed(kHello);
        takeSent();
        headless::clearRecords();
        m_attentionBefore = headless::attentionRequests();
        feed(watch.json());
        headless::stepFrames(1);  // the scene change
        CDeskScene* desk = runningDesk();
        EXPECT_NE(desk, nullptr) << "the hall opened the spectator's desk";
        return DeskProbe{*desk};
    }
    // A touch on the name of the seat at screen position `position`.
    static void tapName(const DeskProbe& probe, int position) {
        const Vec2 at =
            probe.seats()[static_cast<std::size_t>(position)]->name_label->getPosition();
        headless::tap(at.x, at.y);
    }
    // Every button a seated player uses, none of which a spectator may see.
    static void expectNoPlayersButton(const DeskProbe& probe) {
        EXPECT_FALSE(probe.ready()->isVisible());
        EXPECT_FALSE(probe.play()->isVisible());
        EXPECT_FALSE(probe.pass()->isVisible());
        EXPECT_FALSE(probe.hint()->isVisible());
        EXPECT_FALSE(probe.trackerButton()->isVisible());
        EXPECT_FALSE(probe.trackerPanel()->isVisible());
        EXPECT_FALSE(probe.autoButton()->isVisible());
        EXPECT_FALSE(probe.autoBanner()->isVisible());
        EXPECT_FALSE(probe.talkButton()->isVisible());
    }

    int m_attentionBefore = 0;
};

TEST_F(DeskWatchTest, ArrivingMidGameShowsTheTableWithBacksAndNoHand) {
    struct Row {
        const char* what;
        int now;
    };
    const Row rows[] = {{"the seat seen from is to move", 0}, {"another seat is to move", 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeskProbe probe = watching(midGame(row.now));
        EXPECT_TRUE(probe.watching());
        EXPECT_EQ(probe.mySite(), 0) << "seen from seat 0 at first";
        EXPECT_EQ(probe.deskLabel()->getString(), "Desk:5");
        EXPECT_TRUE(probe.hand().empty()) << "a spectator holds no hand";

        const char* names[] = {"Ann", "Bo", "Cy", "Di"};
        const char* counts[] = {"", "15", "9", "0"};
        const Codes table[] = {{32, 33}, {}, {}, {}};
        for (int site = 0; site < 4; ++site) {
            SCOPED_TRACE(site);
            const st_player_info& seat = probe.seat(site);
            EXPECT_EQ(seat.name_label->getString(), names[site]);
            if (site != 0) {
                EXPECT_EQ(seat.count_label->getString(), counts[site]);
            }
            EXPECT_EQ(codesOf(seat.played), table[site]);
            EXPECT_EQ(seat.pass_label->isVisible(), site == 1);
            EXPECT_EQ(seat.over_label->isVisible(), site == 3);
            EXPECT_EQ(seat.countdown->isVisible(), site == row.now);
        }
        EXPECT_EQ(probe.seat(row.now).countdown->getString(), "20");
        EXPECT_EQ(probe.tableScore()->getString(), "25");
        EXPECT_EQ(probe.ownScore()->getString(), "120") << "seat 0's team first";
        EXPECT_EQ(probe.otherScore()->getString(), "85");

        // Seat 0's twelve cards as backs in the hand's row, at the hand's places.
        ASSERT_EQ(probe.backs().size(), 12u);
        const float width = probe.backs().front()->getContentSize().width;
        for (std::size_t i = 0; i < 12; ++i) {
            EXPECT_FLOAT_EQ(probe.backs()[i]->getPositionY(), 45);
            EXPECT_FLOAT_EQ(probe.backs()[i]->getPositionX(),
                            512 - 9.0f * 11 + 18.0f * i + width / 4);
        }

        expectNoPlayersButton(probe);
        EXPECT_FALSE(probe.sitButton()->isVisible()) << "no seat is offered during a game";
        EXPECT_EQ(probe.watchingLabel()->getString(), "观战中 · 2人观看");
        EXPECT_TRUE(probe.watchingLabel()->isVisible());
        EXPECT_TRUE(headless::effectsPlayed().empty()) << "no chime: no turn is the spectator's";
        EXPECT_EQ(headless::attentionRequests(), m_attentionBefore);
        EXPECT_TRUE(takeSent().empty());
        EXPECT_TRUE(headless::messageBoxes().empty());
    }
}

TEST_F(DeskWatchTest, ASeatsNameMakesThatSeatTheBottomOne) {
    DeskProbe probe = watching(midGame(1));
    // The seat at each screen position, and what the desk shows from it.
    struct Row {
        int position;  // of the name touched, before the switch
        int site;      // the seat seen from after it
        std::size_t backs;
        const char* own;  // the bottom seat's team score
        const char* other;
    };
    const Row rows[] = {
        {2, 2, 9, "120", "85"},   // the top seat, Cy: seats 0 and 2 are its team
        {3, 1, 15, "85", "120"},  // then the left one, Bo
        {1, 2, 9, "120", "85"},   // then the right one, Cy again
        {0, 2, 9, "120", "85"},   // the bottom name: nothing changes
    };
    const char* names[] = {"Ann", "Bo", "Cy", "Di"};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.position);
        tapName(probe, row.position);
        EXPECT_EQ(probe.mySite(), row.site);
        for (int position = 0; position < 4; ++position) {
            EXPECT_EQ(probe.seats()[position]->name_label->getString(),
                      names[(row.site + position) % 4])
                << "position " << position;
        }
        EXPECT_EQ(probe.backs().size(), row.backs) << "the bottom row holds that seat's count";
        EXPECT_FALSE(probe.seat(row.site).count_label->isVisible());
        EXPECT_EQ(probe.ownScore()->getString(), row.own);
        EXPECT_EQ(probe.otherScore()->getString(), row.other);
        EXPECT_EQ(probe.tableScore()->getString(), "25");
        // Ann's nines lie in the row of the place her seat now has, Bo's pass by his.
        const int annAt = (0 - row.site + 4) % 4;
        ASSERT_EQ(probe.seat(0).played.size(), 2u);
        const CardSprite* nine = probe.seat(0).played.front();
        const Vec2 place = DeskProbe::playedCardPosition(*probe.seats()[annAt], 0,
                                                         nine->getContentSize().width);
        EXPECT_FLOAT_EQ(nine->getPositionX(), place.x);
        EXPECT_FLOAT_EQ(nine->getPositionY(), place.y);
        EXPECT_TRUE(probe.seat(1).pass_label->isVisible());
        EXPECT_TRUE(probe.seat(3).over_label->isVisible());
        for (int site = 0; site < 4; ++site) {
            EXPECT_EQ(probe.seat(site).countdown->isVisible(), site == 1) << site;
        }
        expectNoPlayersButton(probe);
    }
    EXPECT_TRUE(takeSent().empty()) << "a change of view is the spectator's own";
}

TEST_F(DeskWatchTest, TheCountdownRunsOnAcrossASwitchAndNeverActs) {
    DeskProbe probe = watching(midGame(0));
    step(5.0);
    EXPECT_EQ(probe.seat(0).countdown->getString(), "15");
    tapName(probe, 2);
    EXPECT_EQ(probe.seat(0).countdown->getString(), "15")
        << "the count is the desk's, not the view's";
    tapName(probe, 2);  // back to seat 0, whose turn it is
    ASSERT_EQ(probe.mySite(), 0);
    step(40.0);
    EXPECT_EQ(probe.seat(0).countdown->getString(), "0") << "it rests at 0 as another seat's does";
    EXPECT_TRUE(takeSent().empty()) << "the watched seat's time running out sends nothing";
    EXPECT_FALSE(probe.play()->isVisible());
    EXPECT_TRUE(headless::effectsPlayed().empty()) << "no warning beeps for a watched seat";
}

TEST_F(DeskWatchTest, PlaysDuringTheGameMoveTheBacks) {
    DeskProbe probe = watching(midGame(1));
    struct Row {
        std::string message;
        std::size_t backs;  // in the bottom row (seat 0)
        Codes annTable;
        bool turnButtons;
    };
    const Row rows[] = {
        {gameMessage(1, "", 2, 0, "15"), 12, {32, 33}, false},
        {gameMessage(2, "", 0, 1, "9"), 12, {}, false},  // the trick ends: Ann leads
        {gameMessage(0, "4,5,", 1, 0, "10"), 10, {4, 5}, false},
        {gameMessage(1, "", 2, 0, "15"), 10, {4, 5}, false},
        {gameMessage(2, "", 0, 1, "9"), 10, {}, false},
        {gameMessage(0, "6,", 1, 0, "9"), 9, {6}, false},
        {gameMessage(1, "40,", 2, 0, "14"), 9, {6}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        feed(row.message);
        EXPECT_EQ(probe.backs().size(), row.backs);
        EXPECT_EQ(codesOf(probe.seat(0).played), row.annTable);
        EXPECT_EQ(probe.play()->isVisible(), row.turnButtons);
        EXPECT_EQ(probe.pass()->isVisible(), row.turnButtons);
        EXPECT_FALSE(probe.hint()->isVisible());
    }
    // The view follows the messages too: seen from Bo, his last play is on the bottom row.
    tapName(probe, 1);
    ASSERT_EQ(probe.mySite(), 1);
    EXPECT_EQ(probe.backs().size(), 14u);
    EXPECT_EQ(codesOf(probe.seat(1).played), Codes{40});
    EXPECT_EQ(codesOf(probe.seat(0).played), Codes{6});
    EXPECT_EQ(probe.seat(0).count_label->getString(), "9");
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(DeskWatchTest, ANewGameClearsTheLastOneAndDealsBacks) {
    DeskProbe probe = watching(midGame(1));
    feed(overMessage({1, -1, 1, -1}));
    EXPECT_TRUE(probe.backs().empty()) << "between games the seat holds nothing";
    EXPECT_FALSE(probe.ready()->isVisible()) << "no ready for a spectator after a result";
    feed(changeMessage({"Ann", "Bo", "Cy", "Di"}));
    feed(gameMessage(-1, "", 3, 1, "27"));
    EXPECT_TRUE(probe.gameRunning());
    EXPECT_EQ(probe.backs().size(), 27u);
    for (int site = 0; site < 4; ++site) {
        EXPECT_TRUE(probe.seat(site).played.empty()) << site;
        EXPECT_FALSE(probe.seat(site).over_label->isVisible()) << site;
        EXPECT_FALSE(probe.seat(site).pass_label->isVisible()) << site;
    }
    EXPECT_EQ(probe.seat(2).count_label->getString(), "27");
    EXPECT_FALSE(probe.summaryPanel()->isOpen());
    EXPECT_TRUE(probe.seat(3).countdown->isVisible());
    expectNoPlayersButton(probe);
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(DeskWatchTest, TheResultBoxNamesTheWinningTeam) {
    struct Row {
        std::array<int, 4> results;
        const char* text;
    };
    const Row rows[] = {
        {{2, -2, 2, -2}, "Ann、Cy 赢2局！"},
        {{-1, 1, -1, 1}, "Bo、Di 赢1局！"},
        {{0, 0, 0, 0}, "平局！"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        watching(midGame(1));
        headless::clearRecords();
        feed(overMessage(row.results));
        const auto boxes = headless::messageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, row.text);
        EXPECT_EQ(boxes[0].title, "游戏结束");
        const auto effects = headless::effectsPlayed();
        EXPECT_EQ(std::count(effects.begin(), effects.end(), "sound/win.mp3") +
                      std::count(effects.begin(), effects.end(), "sound/lose.mp3"),
                  0)
            << "a spectator neither wins nor loses";
    }
}

TEST_F(DeskWatchTest, SitIsOfferedOnlyWithAFreeSeatBetweenGames) {
    struct Row {
        const char* what;
        Watch watch;
        bool offered;
    };
    const Row rows[] = {
        {"a game running", midGame(1), false},
        {"between games, every seat taken", betweenGames({"Ann", "Bo", "Cy", "Di"}), false},
        {"between games, seat 2 free", betweenGames({"Ann", "Bo", "", "Di"}), true},
        {"between games, only seat 0 taken", betweenGames({"Ann", "", "", ""}), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeskProbe probe = watching(row.watch);
        EXPECT_EQ(shown(probe.sitButton()), row.offered);
        EXPECT_FALSE(probe.ready()->isVisible());
    }
    // The offer follows the seats: a seat left free after a result, then taken again.
    DeskProbe probe = watching(midGame(1));
    feed(overMessage({1, -1, 1, -1}));
    EXPECT_FALSE(shown(probe.sitButton()));
    feed(changeMessage({"Ann", "", "Cy", "Di"}));
    EXPECT_TRUE(shown(probe.sitButton()));
    feed(changeMessage({"Ann", "Eve", "Cy", "Di"}));
    EXPECT_FALSE(shown(probe.sitButton()));
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(DeskWatchTest, APrivateDeskShowsItsCodeButAddsNoComputers) {
    Watch watch = betweenGames({"Ann", "", "", "Di"});
    watch.code = "031415";
    DeskProbe probe = watching(watch);
    ASSERT_NE(probe.privateBar(), nullptr);
    PrivateBarProbe bar{*probe.privateBar()};
    EXPECT_EQ(bar.code()->getString(), "牌桌号 031415");
    EXPECT_FALSE(bar.bots()->isVisible()) << "only the desk's creator adds computers";
    EXPECT_TRUE(shown(probe.sitButton()));
    EXPECT_EQ(watching(midGame(1)).privateBar(), nullptr) << "a public desk has no bar";
}

TEST_F(DeskWatchTest, SitAsksTheServerAndItsAnswerSeatsOrExplains) {
    DeskProbe probe = watching(betweenGames({"Ann", "", "Cy", "Di"}));
    const Vec2 sitAt = probe.sitButton()->getPosition();
    struct Refusal {
        const char* reason;
        const char* notice;
    };
    const Refusal refusals[] = {
        {"no free seat", "没有空座位了"},
        {"game running", "牌局进行中，请等本局结束"},
        {"not watching", "你已不在观战"},
        {"something new", "入座失败"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.reason);
        headless::tap(sitAt.x, sitAt.y);
        EXPECT_EQ(takeSent(), std::vector<std::string>{kSit});
        feed(std::string(R"({"opt":"sit","status":"refused","reason":")") + refusal.reason +
             R"("})");
        EXPECT_TRUE(probe.notice()->isVisible());
        EXPECT_EQ(probe.noticeText()->getString(), refusal.notice);
        EXPECT_EQ(runningDesk(), &probe.desk) << "still watching";
    }
    step(2.5);
    EXPECT_FALSE(probe.notice()->isVisible()) << "the notice goes after two seconds";

    headless::tap(sitAt.x, sitAt.y);
    EXPECT_EQ(takeSent(), std::vector<std::string>{kSit});
    feed(R"({"opt":"add","desk":"5","site":"1","name":"me"})");
    headless::stepFrames(1);
    CDeskScene* seated = runningDesk();
    ASSERT_NE(seated, nullptr);
    ASSERT_NE(seated, &probe.desk) << "a fresh seated desk";
    DeskProbe now{*seated};
    EXPECT_FALSE(now.watching());
    EXPECT_EQ(now.mySite(), 1);
    EXPECT_EQ(now.deskNumber(), 5);
    EXPECT_TRUE(now.ready()->isVisible());
    EXPECT_EQ(now.sitButton(), nullptr);
}

TEST_F(DeskWatchTest, ReturnLeavesAtOnceAndAClosedDeskSendsBackToTheHall) {
    struct Row {
        const char* what;
        bool pressReturn;  // otherwise the server closes the watching
        std::vector<std::string> sent;
    };
    const Row rows[] = {
        {"the return button", true, {kUnwatch, kQuery}},
        {"the desk deserted", false, {kQuery}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeskProbe probe = watching(midGame(1));
        headless::clearRecords();
        if (row.pressReturn) {
            const Vec2 at = probe.returnButton()->getPosition();
            headless::tap(at.x, at.y);
        } else {
            feed(R"({"opt":"unwatch","reason":"closed"})");
        }
        headless::stepFrames(1);
        EXPECT_NE(runningHall(), nullptr);
        EXPECT_EQ(takeSent(), row.sent);
        EXPECT_TRUE(headless::messageBoxes().empty()) << "no warning: a spectator plays no part";
    }
}

TEST_F(DeskWatchTest, TheNumberWatchingFollowsTheServer) {
    DeskProbe probe = watching(midGame(1));
    const std::pair<const char*, const char*> rows[] = {
        {"5", "观战中 · 5人观看"},
        {"1", "观战中 · 1人观看"},
        {"x", "观战中 · 0人观看"},
    };
    for (const auto& [count, text] : rows) {
        feed(std::string(R"({"opt":"watchers","count":")") + count + R"("})");
        EXPECT_EQ(probe.watchingLabel()->getString(), text);
    }
}

TEST_F(DeskWatchTest, KeysButtonsAndMessagesOfAPlayerSendNothing) {
    DeskProbe probe = watching(midGame(0));
    // Every key a seated player uses, the places of the turn buttons, and one seat's messages.
    for (K key : {K::KEY_ENTER, K::KEY_KP_ENTER, K::KEY_BACKSPACE, K::KEY_H, K::KEY_R, K::KEY_T,
                  K::KEY_A, K::KEY_ESCAPE, K::KEY_1, K::KEY_4, K::KEY_8}) {
        headless::typeKey(key);
    }
    for (const Vec2& at : {Vec2(412, 170), Vec2(612, 170), Vec2(242, 170), Vec2(512, 170),
                           Vec2(512, 45), Vec2(852, 738)}) {
        headless::tap(at.x, at.y);
    }
    headless::rightClick(512, 300);
    feed(R"({"opt":"start","cards":"1,2,3,"})");
    feed(R"({"opt":"presence","info":[{"away":"0","auto":"1"},{},{},{}]})");
    step(40.0);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_TRUE(probe.hand().empty()) << "a deal meant for a seat is not the spectator's";
    EXPECT_FALSE(probe.localAuto());
    EXPECT_TRUE(probe.seat(0).auto_tag->isVisible()) << "the watched seat's 托管 is shown as a tag";
    expectNoPlayersButton(probe);
    EXPECT_FALSE(probe.talkPanel()->isOpen());
    EXPECT_EQ(probe.backs().size(), 12u);

    // Leaving is the one text: then the hall's own query.
    const Vec2 back = probe.returnButton()->getPosition();
    headless::tap(back.x, back.y);
    EXPECT_EQ(takeSent(), (std::vector<std::string>{kUnwatch, kQuery}));
}

TEST_F(DeskWatchTest, ARefusedWatchLeavesTheHallAlone) {
    CHallScene* hall = startHall();
    feed(kHello);
    takeSent();
    feed(R"({"opt":"watch","status":"refused","reason":"no such desk"})");
    headless::stepFrames(1);
    EXPECT_EQ(runningHall(), hall);
    EXPECT_TRUE(takeSent().empty());
}
