// Watching a game: the desk the hall opens on an accepted "watch", as the spectator sees it from
// the seat it chose: the table, card backs instead of a hand, no player's action, and only
// "unwatch" and "sit" ever sent.

#include "engine/backend/headless/Headless.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/DeskStateText.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using K = EventKeyboard::KeyCode;
using Codes = std::vector<int>;
using Texts = std::vector<std::string>;

namespace {

const std::string kSit = R"({"opt":"sit"})";

// Mid-game: Ann (seat 0) holds `ann` and played a pair of nines, Bo passed and holds 15, Cy
// holds 9, Di is out; seat `now` is to move with 20 s left.
DeskState midGame(int now, const std::string& ann = "12") {
    DeskState w;
    w.seats = {SeatState{"Ann", "1", ann, "32,33,"}, SeatState{"Bo", "1", "15", "", "1"},
               SeatState{"Cy", "1", "9", ""}, SeatState{"Di", "1", "0", ""}};
    w.score = "25";
    w.p0 = "120";
    w.p1 = "85";
    w.now = std::to_string(now);
    w.left = "20000";
    return w;
}

// Between games, the seats named as given ("" a free seat).
DeskState betweenGames(const std::array<const char*, 4>& names) {
    DeskState w;
    w.playing = "0";
    for (std::size_t k = 0; k < 4; ++k) {
        w.seats[k] = SeatState{names[k], "0", "", ""};
    }
    return w;
}

void tapAt(const Vec2& at) {
    headless::tap(at.x, at.y);
}

// None of a seated player's buttons shows.
void expectNoPlayersButton(const DeskProbe& probe) {
    for (const Node* node : std::initializer_list<const Node*>{
             probe.ready(), probe.play(), probe.pass(), probe.hint(), probe.trackerButton(),
             probe.trackerPanel(), probe.autoButton(), probe.autoBanner(), probe.talkButton()}) {
        EXPECT_FALSE(node->isVisible());
    }
}

}  // namespace

class DeskWatchTest : public SceneTest {
protected:
    // The desk opened by an accepted "watch" of desk 5 (a private desk's with its `code`).
    DeskProbe watching(const DeskState& state, const std::string& code = "") {
        startHall();
        feed(R"({"opt":"hello","status":"ok","resume":"0","talk":"1","watch":"1"})");
        takeSent();
        headless::clearRecords();
        feed(state.json(jsonPair("opt", "watch") + "," + jsonPair("status", "ok") + "," +
                        jsonPair("desk", "5") + "," + jsonPair("watchers", "2") +
                        (code.empty() ? "" : "," + jsonPair("code", code))));
        headless::stepFrames(1);  // the scene change
        EXPECT_NE(runningDesk(), nullptr) << "the hall opened the spectator's desk";
        return DeskProbe{*runningDesk()};
    }
};

TEST_F(DeskWatchTest, TheTableIsSeenFromTheSeatWhoseNameIsTouchedAndNotPlayed) {
    DeskProbe probe = watching(midGame(0));  // Ann, at the bottom, is to move
    EXPECT_TRUE(headless::effectsPlayed().empty()) << "no turn chime for a spectator";
    EXPECT_EQ(probe.watchingLabel()->getString(), "观战中 · 2人观看");
    step(5.0);  // Ann's 20 s count down to 15
    // A player's keys and buttons, and one seat's own messages, do nothing.
    for (K key : {K::KEY_ENTER, K::KEY_BACKSPACE, K::KEY_H, K::KEY_R, K::KEY_T, K::KEY_A,
                  K::KEY_ESCAPE, K::KEY_1, K::KEY_8}) {
        headless::typeKey(key);
    }
    for (const Vec2& at : {Vec2(412, 170), Vec2(612, 170), Vec2(242, 170), Vec2(512, 170),
                           Vec2(512, 45), Vec2(852, 738)}) {
        tapAt(at);
    }
    feed(R"({"opt":"start","cards":"1,2,3,"})");
    feed(R"({"opt":"presence","info":[{"away":"0","auto":"1"},{},{},{}]})");
    feed(R"({"opt":"watchers","count":"7"})");
    EXPECT_TRUE(probe.seat(0).auto_tag->isVisible()) << "the watched seat's 托管 is a tag";
    EXPECT_FALSE(probe.talkPanel()->isOpen());
    EXPECT_EQ(probe.watchingLabel()->getString(), "观战中 · 7人观看");
    // The screen position of a name touched (-1 none), and the seat then seen from.
    const std::pair<int, int> rows[] = {{-1, 0}, {2, 2}, {3, 1}, {1, 2}, {0, 2}};
    const char* names[] = {"Ann", "Bo", "Cy", "Di"};
    const std::size_t held[] = {12, 15, 9, 0};
    for (const auto& [touched, bottom] : rows) {
        SCOPED_TRACE(touched);
        if (touched >= 0) {
            tapAt(probe.seats()[static_cast<std::size_t>(touched)]->name_label->getPosition());
        }
        EXPECT_EQ(probe.mySite(), bottom);
        EXPECT_TRUE(probe.hand().empty());
        for (int site = 0; site < 4; ++site) {
            const st_player_info& seat = probe.seat(site);
            EXPECT_EQ(probe.seats()[(site - bottom + 4) % 4]->name_label->getString(), names[site]);
            EXPECT_EQ(seat.count_label->getString(),
                      site == bottom ? "" : std::to_string(held[site]));
            EXPECT_EQ(codesOf(seat.played), (site == 0 ? Codes{32, 33} : Codes{})) << site;
            EXPECT_EQ(seat.pass_label->isVisible(), site == 1);
            EXPECT_EQ(seat.over_label->isVisible(), site == 3);
            EXPECT_EQ(seat.countdown->isVisible(), site == 0);
        }
        EXPECT_EQ(probe.seat(0).countdown->getString(), "15") << "the desk's own count goes on";
        // Ann's nines lie in the row of her seat's place; the bottom seat's cards as backs at
        // the hand's places.
        const CardSprite* nine = probe.seat(0).played.at(0);
        EXPECT_EQ(nine->getPosition(),
                  DeskProbe::playedCardPosition(*probe.seats()[(4 - bottom) % 4], 0,
                                                nine->getContentSize().width));
        ASSERT_EQ(probe.backs().size(), held[bottom]);
        for (std::size_t i = 0; i < held[bottom]; ++i) {
            const float x = 512 - 9.0f * (held[bottom] - 1) + 18.0f * i;
            EXPECT_EQ(probe.backs()[i]->getPosition(),
                      Vec2(x + probe.backs()[i]->getContentSize().width / 4, 45));
        }
        EXPECT_EQ(probe.ownScore()->getString(), bottom % 2 == 0 ? "120" : "85");
        expectNoPlayersButton(probe);
    }
    EXPECT_EQ(probe.tableScore()->getString(), "25");
    EXPECT_FALSE(probe.sitButton()->isVisible());
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(DeskWatchTest, BacksShowAPlainCountAtMostAFullDeal) {
    const std::pair<const char*, std::size_t> rows[] = {
        {"9", 9}, {"27", 27}, {"28", 27}, {"0", 0}, {"abc", 0}, {"-3", 0}, {"5x", 0}, {"", 0}};
    for (const auto& [count, backs] : rows) {
        EXPECT_EQ(watching(midGame(1, count)).backs().size(), backs) << count;
    }
}

TEST_F(DeskWatchTest, TheGameMovesTheBacksAndTheWatchedTurnNeverActs) {
    DeskProbe probe = watching(midGame(2));
    const std::pair<std::string, std::size_t> rows[] = {
        {gameMessage(2, "", 0, 1, "9"), 12},  // Ann leads: her turn is only watched
        {gameMessage(0, "4,5,", 1, 0, "10"), 10},
        {gameMessage(1, "40,", 2, 0, "14"), 10},
        {gameMessage(2, "", 0, 0, "9"), 10},
    };
    for (const auto& [message, backs] : rows) {
        SCOPED_TRACE(message);
        feed(message);
        EXPECT_EQ(probe.backs().size(), backs);
        expectNoPlayersButton(probe);
    }
    headless::clearRecords();  // the plays' own sounds
    step(40.0);                // Ann's time runs out
    EXPECT_EQ(probe.seat(0).countdown->getString(), "0");
    EXPECT_TRUE(headless::effectsPlayed().empty()) << "no warning beeps for a watched seat";
    tapAt(probe.seats()[1]->name_label->getPosition());  // Bo's play and count follow the game
    EXPECT_EQ(probe.backs().size(), 14u);
    EXPECT_EQ(codesOf(probe.seat(1).played), Codes{40});

    feed(R"({"opt":"over","info":[{"name":"Ann","result":"-1"},{"name":"Bo","result":"1"},)"
         R"({"name":"Cy","result":"-1"},{"name":"Di","result":"1"}]})");
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "Bo、Di 赢1局！");
    EXPECT_TRUE(probe.backs().empty());
    feed(gameMessage(-1, "", 3, 1, "27"));  // the next game opens: the last one's table goes
    EXPECT_EQ(probe.backs().size(), 27u);
    EXPECT_TRUE(probe.seat(1).played.empty());
    EXPECT_FALSE(probe.seat(3).over_label->isVisible());
    expectNoPlayersButton(probe);
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(DeskWatchTest, SitIsOfferedOnlyWithAFreeSeatBetweenGames) {
    for (const DeskState& state : {midGame(1), betweenGames({"Ann", "Bo", "Cy", "Di"})}) {
        DeskProbe probe = watching(state);
        EXPECT_FALSE(probe.sitButton()->isVisible());
        EXPECT_FALSE(probe.ready()->isVisible());
    }
    // A private desk shows its code; only its creator adds computers.
    DeskProbe probe = watching(betweenGames({"Ann", "", "Cy", "Di"}), "031415");
    ASSERT_NE(probe.privateBar(), nullptr);
    EXPECT_EQ(PrivateBarProbe{*probe.privateBar()}.code()->getString(), "牌桌号 031415");
    EXPECT_FALSE(PrivateBarProbe{*probe.privateBar()}.bots()->isVisible());
    EXPECT_TRUE(probe.sitButton()->isVisible());
    EXPECT_FALSE(probe.ready()->isVisible());
    tapAt(probe.sitButton()->getPosition());
    EXPECT_EQ(takeSent(), Texts{kSit});
    feed(R"({"opt":"sit","status":"refused","reason":"no free seat"})");
    EXPECT_TRUE(probe.notice()->isVisible());
    EXPECT_EQ(probe.noticeText()->getString(), "没有空座位了");
    feed(changeMessage({"Ann", "Eve", "Cy", "Di"}));
    EXPECT_FALSE(probe.sitButton()->isVisible()) << "the free seat was taken";
    feed(changeMessage({"Ann", "", "Cy", "Di"}));
    tapAt(probe.sitButton()->getPosition());
    feed(R"({"opt":"add","desk":"5","site":"1","name":"me"})");
    headless::stepFrames(1);
    ASSERT_NE(runningDesk(), nullptr);
    DeskProbe seated{*runningDesk()};
    EXPECT_FALSE(seated.watching());
    EXPECT_EQ(seated.mySite(), 1);
    EXPECT_TRUE(seated.ready()->isVisible());
    EXPECT_EQ(takeSent(), Texts{kSit});
}

TEST_F(DeskWatchTest, ReturnLeavesAtOnceAndADesertedDeskSendsBackToTheHall) {
    const std::string query = R"({"opt":"query"})";  // the new hall's, as it is built
    for (bool pressReturn : {true, false}) {
        DeskProbe probe = watching(midGame(1));
        if (pressReturn) {
            tapAt(probe.returnButton()->getPosition());
        } else {
            feed(R"({"opt":"unwatch","reason":"closed"})");
        }
        headless::stepFrames(1);
        EXPECT_NE(runningHall(), nullptr);
        EXPECT_EQ(takeSent(), (pressReturn ? Texts{R"({"opt":"unwatch"})", query} : Texts{query}));
        EXPECT_TRUE(headless::messageBoxes().empty()) << "no warning for a spectator";
    }
}
