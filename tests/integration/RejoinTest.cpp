// Back in the seat after a dropped link, with the real server: the headless client's link runs
// through a relay that the test cuts at random moments of a game (between turns, during the
// local turn, right after a play was sent), and a second person at the desk keeps the public
// record the client is held against. POSIX only, like the relay.

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "tests/integration/DeskObserver.h"
#include "tests/integration/LiveServerTest.h"
#include "tests/support/LinkCutter.h"

using namespace engine;

namespace {

constexpr int kDeal = 27;

std::vector<int> sorted(std::vector<int> codes) {
    std::sort(codes.begin(), codes.end());
    return codes;
}

// `hand` without one copy of each of `played`; what the server holds after those plays.
std::vector<int> without(std::vector<int> hand, const std::vector<int>& played) {
    for (int code : played) {
        const auto found = std::find(hand.begin(), hand.end(), code);
        if (found != hand.end()) {
            hand.erase(found);
        }
    }
    return sorted(hand);
}

}  // namespace

class RejoinTest : public LiveServerTest {
protected:
    // The server (computer players thinking `botDelay` seconds), the relay in front of it, the
    // client's link through the relay, the client at a desk and the observer beside it.
    void seatBoth(const std::string& botDelay) {
        // The computer players wait for the observer to sit down before they fill the desk; the
        // test's drops come much faster than a player's would.
        launchServer({"--seed", "11", "--bot-delay", botDelay, "--bot-wait", "1", "--rejoin-limit",
                      "1000", "--log-messages"});
        ASSERT_FALSE(HasFatalFailure());
        m_relay.emplace(m_server->port());
        ASSERT_TRUE(m_relay->listening());
        // The player's token, as the client's start-up gives it from the settings.
        CMessageQueue::getInstance()->setPlayerToken("5eed0000000000000000000000000001");
        ASSERT_TRUE(CMessageQueue::getInstance()->connectServerAt("127.0.0.1", m_relay->port()));
        startHall();
        CDeskScene* desk = joinDesk();
        ASSERT_NE(desk, nullptr);
        ASSERT_TRUE(m_observer.start(m_server->port(), DeskObserver::Options{}));
        ASSERT_TRUE(frameUntil([&] { return m_observer.record().desk >= 0; }, 10));
        ASSERT_EQ(m_observer.record().desk, DeskProbe{*desk}.deskNumber());
    }

    // Presses ready whenever it shows, and plays the local turn.
    void playAlong(DeskProbe& probe) {
        if (probe.ready()->isVisible() && probe.ready()->isEnabled()) {
            tapAt(kReady);
        } else if (probe.play()->isVisible() && probe.play()->isEnabled()) {
            takeTurn(probe);
        }
    }

    // The link is down: the panel's button, or the panel by itself a second later.
    void comeBack(bool byButton) {
        ASSERT_TRUE(frameUntil([] { return CMessageQueue::getInstance()->receiverEnded(); }, 5));
        if (byButton) {
            ASSERT_TRUE(frameUntil(
                [] {
                    const Layer* layer = runningDesk();
                    const CReconnectPanel* panel = layer ? reconnectPanelOf(layer) : nullptr;
                    return panel != nullptr && panel->isVisible();
                },
                5));
            tapAt(Vec2(512, 384));
        }
        ASSERT_TRUE(frameUntil([] { return !CMessageQueue::getInstance()->receiverEnded(); }, 10))
            << m_server->log();
    }

    void TearDown() override {
        headless::releaseBoxes();
        LiveServerTest::TearDown();
        CMessageQueue::getInstance()->setPlayerToken("");
    }

    std::optional<LinkCutter> m_relay;
    DeskObserver m_observer;
};

// Fifty drops at random moments of whole games. After every return the hand is what the server
// holds for the seat (the dealt hand less every card the seat played, by the client or by its
// stand-in meanwhile), and the game goes on to its normal end: no "run", all cards and points
// accounted for.
TEST_F(RejoinTest, FiftyDropsAndBackAtTheSameSeatEachTime) {
    seatBoth("0.1");
    ASSERT_FALSE(HasFatalFailure());
    std::mt19937 random(20);
    std::vector<std::vector<int>> dealt;  // the client's dealt hand of each game
    int drops = 0;
    int checked = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(300);
    for (;;) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << m_server->log();
        CDeskScene* desk = runningDesk();
        ASSERT_NE(desk, nullptr) << "back in the hall: " << m_observer.record().lastText;
        DeskProbe probe{*desk};
        const DeskObserver::Record seen = m_observer.record();
        // A new deal: what the desk holds once it shows the whole of it.
        if (seen.games.size() > dealt.size() && probe.hand().size() == kDeal &&
            probe.gameRunning() && seen.games.back().played[static_cast<std::size_t>(probe.mySite())].empty()) {
            dealt.push_back(sorted(codesOf(probe.hand())));
        }
        const bool dealtNow = !seen.games.empty() && dealt.size() == seen.games.size();
        if (drops >= 50 && dealtNow && seen.games.back().over) {
            break;
        }
        const bool ourTurn = probe.play()->isVisible();
        const bool cutNow = drops < 50 && dealtNow && !seen.games.back().over &&
                            std::uniform_int_distribution<int>(0, 29)(random) == 0;
        if (!cutNow) {
            playAlong(probe);
            frame();
            continue;
        }
        // A third of the cuts come right after the local play was sent, while it is in flight.
        if (ourTurn && drops % 3 == 0) {
            takeTurn(probe);
            ASSERT_FALSE(HasFatalFailure());
        }
        const int seatBefore = probe.mySite();  // the old desk is gone once the new one shows
        m_relay->cut();
        ++drops;
        comeBack(drops % 5 != 0);
        ASSERT_FALSE(HasFatalFailure());
        // A new scene takes over once the server has answered on the new link.
        ASSERT_TRUE(frameUntil(
            [desk] { return runningHall() != nullptr || (runningDesk() && runningDesk() != desk); },
            5));
        if (runningHall() != nullptr) {
            // Only a game that ended while the seat was away frees it: then join again.
            ASSERT_TRUE(m_observer.record().games.back().over) << "drop " << drops;
            ASSERT_NE(joinDesk(), nullptr);
            continue;
        }
        // Back at the desk: once the observer has seen every play the server made meanwhile,
        // the hand is the dealt one less the seat's plays.
        DeskProbe back{*runningDesk()};
        const auto site = static_cast<std::size_t>(back.mySite());
        ASSERT_EQ(back.mySite(), seatBefore);
        std::vector<int> expected;
        const bool settled = frameUntil(
            [&] {
                const DeskObserver::Record now = m_observer.record();
                expected = without(dealt.back(), now.games.back().played[site]);
                return now.games.back().over || expected.size() == back.hand().size();
            },
            5);
        ASSERT_TRUE(settled) << "drop " << drops;
        if (!m_observer.record().games.back().over) {
            EXPECT_EQ(sorted(codesOf(back.hand())), expected) << "drop " << drops;
            ++checked;
        }
    }
    const DeskObserver::Record seen = m_observer.record();
    EXPECT_EQ(seen.runs, 0) << "a drop must never end the game for the others";
    EXPECT_GT(checked, 40);
    for (const DeskObserver::Game& game : seen.games) {
        if (!game.over) {
            continue;
        }
        std::size_t cards = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            cards += game.played[k].size() + static_cast<std::size_t>(std::max(game.left[k], 0));
        }
        EXPECT_EQ(cards, 4u * kDeal);
        EXPECT_EQ(game.p0 + game.p1, 200);
    }
}

// A seat whose person never comes back is played to the end of the game by its stand-in; the
// others see no "run", and the seat is free after the game.
TEST_F(RejoinTest, ASeatThatNeverComesBackIsPlayedOutAndThenFreed) {
    seatBoth("0");
    ASSERT_FALSE(HasFatalFailure());
    DeskProbe probe{*runningDesk()};
    const auto site = static_cast<std::size_t>(probe.mySite());
    ASSERT_TRUE(frameUntil([&] { return probe.ready()->isVisible(); }, 5));
    tapAt(kReady);
    ASSERT_TRUE(frameUntil([&] { return probe.hand().size() == kDeal; }, 10));
    m_relay.reset();  // no way back: every attempt is refused
    ASSERT_TRUE(frameUntil(
        [&] {
            const DeskObserver::Record seen = m_observer.record();
            return !seen.games.empty() && seen.games.front().seatsShownAfter;
        },
        60))
        << m_observer.record().lastText;
    const DeskObserver::Record seen = m_observer.record();
    EXPECT_EQ(seen.games.front().namesAfter[site], "") << "the seat is not free after the game";
    EXPECT_EQ(seen.runs, 0);
    EXPECT_EQ(seen.games.front().p0 + seen.games.front().p1, 200);
}

namespace {

// The client as a process of its own (rejoin_probe), its settings in a folder of the test's.
class ProbeClient {
public:
    ProbeClient(std::string settings, std::uint16_t port)
        : m_settings(std::move(settings)), m_log(m_settings + "/probe.log"), m_port(port) {}

    // Starts it (again), with quick join in its first hall when `join`.
    bool start(bool join) {
        // The child takes the environment as it is now: its own settings, the test's resources.
        const char* kept = std::getenv("XDG_CONFIG_HOME");
        const std::string before = kept ? kept : "";
        testsys::setEnv("XDG_CONFIG_HOME", m_settings);
        std::vector<std::string> arguments{std::to_string(m_port)};
        if (join) {
            arguments.emplace_back("--join");
        }
        m_process.emplace(REJOIN_PROBE_PATH, arguments, m_log);
        testsys::setEnv("XDG_CONFIG_HOME", before);
        return m_process->running();
    }
    void kill() { m_process->kill(); }

    // Every line it wrote so far.
    std::vector<std::string> lines() const {
        std::ifstream in(m_log);
        std::vector<std::string> all;
        for (std::string line; std::getline(in, line);) {
            all.push_back(line);
        }
        return all;
    }
    bool seated() const {
        const std::vector<std::string> all = lines();
        return std::any_of(all.begin(), all.end(),
                           [](const std::string& line) { return line.rfind("seated ", 0) == 0; });
    }
    // The words of its `n`th "desk" line (desk, site, then the hand), when there is one yet.
    std::optional<std::vector<int>> deskLine(std::size_t n) const {
        std::size_t seen = 0;
        for (const std::string& line : lines()) {
            if (line.rfind("desk ", 0) == 0 && seen++ == n) {
                std::istringstream words(line.substr(5));
                std::vector<int> numbers;
                for (int number; words >> number;) {
                    numbers.push_back(number);
                }
                return numbers;
            }
        }
        return std::nullopt;
    }

private:
    std::string m_settings;
    std::string m_log;
    std::uint16_t m_port = 0;
    std::optional<testsys::ChildProcess> m_process;
};

// What the server holds of a hand dealt as `dealt` after its seat played the first `count` of
// `played`.
std::vector<int> afterPlays(const std::vector<int>& dealt, const std::vector<int>& played,
                            std::size_t count) {
    return without(dealt, std::vector<int>(played.begin(),
                                           played.begin() + static_cast<std::ptrdiff_t>(count)));
}

}  // namespace

// The client process is killed at random moments of a game and started again with the same
// settings: each time it is back at its seat with no touch in the hall, holding what the server
// holds, and the game goes on to its normal end with no "run".
TEST_F(RejoinTest, KilledAndStartedAgainTheClientIsBackAtItsSeat) {
    launchServer({"--seed", "12", "--bot-delay", "0.1", "--bot-wait", "1"});
    ASSERT_FALSE(HasFatalFailure());
    ProbeClient client(testsys::makeTempDir("desk-rejoin-probe"), m_server->port());
    ASSERT_TRUE(client.start(true));
    const auto waitFor = [](const std::function<bool()>& done, int seconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return done();
    };
    // Seated once its first hall has pressed quick join; the observer sits beside it.
    ASSERT_TRUE(waitFor([&] { return client.seated(); }, 10)) << m_server->log();
    ASSERT_TRUE(m_observer.start(m_server->port(), DeskObserver::Options{}));
    ASSERT_TRUE(waitFor([&] { return client.deskLine(0).has_value(); }, 20))
        << "no dealt hand: " << m_server->log();
    const std::vector<int> first = *client.deskLine(0);
    ASSERT_EQ(first.size(), 2u + kDeal);
    const int desk = first[0];
    const auto site = static_cast<std::size_t>(first[1]);
    ASSERT_EQ(m_observer.record().desk, desk) << "the observer sits elsewhere";
    const std::vector<int> dealt = sorted(std::vector<int>(first.begin() + 2, first.end()));

    std::mt19937 random(21);
    int restarts = 0;
    for (std::size_t n = 1; n <= 8; ++n) {
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(100, 900)(random)));
        if (m_observer.record().games.back().over) {
            break;
        }
        client.kill();
        ASSERT_TRUE(client.start(false));
        ++restarts;
        ASSERT_TRUE(waitFor(
            [&] { return client.deskLine(n) || m_observer.record().games.back().over; }, 10))
            << "not back at the desk after restart " << n << ": " << m_server->log();
        if (!client.deskLine(n)) {
            break;  // the game ended while the client was down
        }
        const std::vector<int> line = *client.deskLine(n);
        ASSERT_EQ(line[0], desk);
        ASSERT_EQ(static_cast<std::size_t>(line[1]), site);
        const std::vector<int> hand(line.begin() + 2, line.end());
        const std::size_t gone = dealt.size() - hand.size();
        ASSERT_TRUE(waitFor(
            [&] { return m_observer.record().games.back().played[site].size() >= gone; }, 5));
        EXPECT_EQ(hand, afterPlays(dealt, m_observer.record().games.back().played[site], gone))
            << "restart " << n;
    }
    EXPECT_GT(restarts, 3);
    ASSERT_TRUE(waitFor([&] { return m_observer.record().games.back().over; }, 90));
    const DeskObserver::Record seen = m_observer.record();
    EXPECT_EQ(seen.runs, 0);
    EXPECT_EQ(seen.games.front().p0 + seen.games.front().p1, 200);
}

// The link drops in the local turn and the player goes on: hint, play and pass by key and by
// button, 托管, and the turn's countdown runs out. The one loss box stays open; the hand keeps
// its cards, nothing pressed meanwhile reaches the server, and once the server can be reached
// again the desk is back at the same seat within the game's retry, where it plays on.
TEST_F(RejoinTest, PressesDuringADropInTheOwnTurnChangeNothingAndTheSeatComesBack) {
    seatBoth("0.3");
    ASSERT_FALSE(HasFatalFailure());
    DeskProbe probe{*runningDesk()};
    ASSERT_TRUE(frameUntil([&] { return probe.ready()->isVisible(); }, 5));
    tapAt(kReady);
    ASSERT_TRUE(frameUntil([&] { return probe.play()->isVisible(); }, 20)) << m_server->log();
    const auto site = static_cast<std::size_t>(probe.mySite());
    const std::vector<int> dealt = sorted(codesOf(probe.hand()));
    ASSERT_EQ(dealt.size(), std::size_t{kDeal}) << "the seat's first turn";

    // Only the client sends "game" texts here (the others are played by the server).
    const auto clientPlays = [this] {
        const std::string log = m_server->log();
        const std::regex play(R"(\{"opt":"game","desk")");
        return std::distance(std::sregex_iterator(log.begin(), log.end(), play), {});
    };
    const auto playsBefore = clientPlays();
    headless::holdBoxes();
    const std::uint16_t relayPort = m_relay->port();
    m_relay.reset();  // every link cut, and nobody listens until it is back
    ASSERT_TRUE(frameUntil([] { return CMessageQueue::getInstance()->receiverEnded(); }, 5));
    using Key = EventKeyboard::KeyCode;
    for (Key key : {Key::KEY_H, Key::KEY_ENTER, Key::KEY_BACKSPACE, Key::KEY_A}) {
        headless::typeKey(key);
    }
    tapAt(kPlay);
    tapAt(kPass);
    headless::stall(31);  // the turn's countdown runs out
    frame();
    ASSERT_TRUE(frameUntil([] { return reconnectPanelOf(runningDesk())->isVisible(); }, 5));
    EXPECT_EQ(ReconnectProbe{*reconnectPanelOf(runningDesk())}.status(),
              "与服务器断开连接，牌局为你保留，正在重新连接…");
    EXPECT_EQ(sorted(codesOf(probe.hand())), dealt) << "a play that was not sent took cards";
    ASSERT_EQ(headless::messageBoxes().size(), 1u) << "one box for the whole drop";

    CDeskScene* desk = runningDesk();
    m_relay.emplace(m_server->port(), "127.0.0.1", relayPort);
    const double reachable = headless::now();
    ASSERT_TRUE(
        frameUntil([desk] { return runningDesk() != nullptr && runningDesk() != desk; }, 10))
        << m_server->log();
    EXPECT_LT(headless::now() - reachable, CReconnectSchedule::kGameRetry + 1);
    DeskProbe back{*runningDesk()};
    EXPECT_EQ(back.mySite(), static_cast<int>(site));
    EXPECT_EQ(clientPlays(), playsBefore) << "a press made during the drop reached the server";

    // The hand the server holds, and a play of the client's own taken there.
    const auto played = [&] { return m_observer.record().games.back().played[site]; };
    ASSERT_TRUE(
        frameUntil([&] { return without(dealt, played()).size() == back.hand().size(); }, 5));
    EXPECT_EQ(sorted(codesOf(back.hand())), without(dealt, played()));
    const std::size_t before = played().size();
    EXPECT_TRUE(frameUntil(
        [&] {
            playAlong(back);
            return played().size() > before;
        },
        30))
        << m_server->log();
}
