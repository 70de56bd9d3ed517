// Spectators on the pure hall: one table of the watch rules, each row a script whose every step
// checks what one link heard since it last listened; then the list against the desks themselves.

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "server/hall/Hall.h"
#include "tests/server/hall/HallScript.h"

namespace hall_watch_test {

using namespace hallscript;

enum class Act { Request, BotDesk, Drop, Run, Listen, InGame };

struct Step {
    Step(LinkId link, Kind kind, std::string heard = {}, int desk = 0, std::string code = {},
         long long at = 0, Act act = Act::Request)
        : link(link),
          kind(kind),
          heard(std::move(heard)),
          desk(desk),
          code(std::move(code)),
          at(at),
          act(act) {}
    LinkId link = 1;
    Kind kind = Kind::Query;  // for Act::Request
    std::string heard;        // what `link` heard since it last listened, as summary() writes it
    int desk = 0;             // a request's desk (seat 0), or the desk to Run
    std::string code;         // a watch's or join's code, or the level of "bots"
    long long at = 0;
    Act act = Act::Request;
};

Step act(LinkId link, Act what, std::string heard = {}, int desk = 0, long long at = 0) {
    return {link, Kind::Query, std::move(heard), desk, {}, at, what};
}

struct Row {
    const char* what;
    std::vector<Step> steps;
    std::vector<std::string> logHas = {};  // texts some line of the row's log must contain
    int perDesk = server::kMaxWatchersPerDesk;
    int total = server::kMaxWatchers;
    int perAddressAtDesk = server::kMaxWatchersPerAddressAtDesk;
    int perAddress = server::kMaxWatchersPerAddress;
};

// Each text as its opt and the values it has of the keys below, in that order; " | " between.
std::string summary(const std::vector<std::string>& texts) {
    std::string sum;
    for (const std::string& text : texts) {
        rapidjson::Document doc;
        doc.Parse(text.data(), text.size());
        if (!doc.IsObject() || !doc.HasMember("opt") || !doc["opt"].IsString()) {
            ADD_FAILURE() << "not a text of ours: " << text;
            continue;
        }
        sum += (sum.empty() ? "" : " | ") + std::string(doc["opt"].GetString());
        for (const char* key :
             {"status", "reason", "retry", "desk", "site", "watchers", "count", "code"}) {
            if (doc.HasMember(key) && doc[key].IsString()) {
                sum += std::string(" ") + doc[key].GetString();
            }
        }
    }
    return sum;
}

// A hall with links 1 to 7 (1 to 5 from one address, 6 and 7 from another) and desk 0, a desk of
// computer players whose game runs.
class Script : public HallDriver {
public:
    explicit Script(const Row& row)
        : HallDriver([&row] {
              server::HallConfig config;
              config.maxWatchersPerDesk = row.perDesk;
              config.maxWatchers = row.total;
              config.maxWatchersPerAddressAtDesk = row.perAddressAtDesk;
              config.maxWatchersPerAddress = row.perAddress;
              config.codeSource = [draw = 111111u]() mutable { return draw++; };
              return config;
          }()) {
        for (LinkId link = 1; link <= 7; ++link) {
            hall.connect(link, link <= 5 ? "10.0.0.1" : "10.0.0.2");
        }
        hall.openBotDesk(Millis(0), out);
    }

    // Runs one step; returns what its link heard since it last listened.
    std::string run(const Step& step) {
        const Millis at(step.at);
        switch (step.act) {
            case Act::BotDesk:
                hall.openBotDesk(at, out);
                break;
            case Act::Drop:
                hall.disconnect(step.link, at, out);
                break;
            case Act::Run:
                hear(runDeskOnTime(step.desk, at));
                break;
            case Act::InGame:
                return hall.inGame(step.link) ? "in game" : "idle";
            case Act::Listen:
                break;
            case Act::Request:
                ClientRequest req = request(step.kind, step.desk, 0);
                req.token = kToken;
                req.code = req.level = step.code;
                req.byCode = !step.code.empty();
                hall.handle(step.link, req, at, out);
                break;
        }
        hear(drain());
        m_log.insert(m_log.end(), out.log.begin(), out.log.end());
        clearOutput();
        const std::string sum = summary(m_heard[step.link]);
        m_heard[step.link].clear();
        return sum;
    }

    const std::vector<std::string>& log() const { return m_log; }

private:
    void hear(const Texts& texts) {
        for (const auto& [link, sent] : texts) {
            m_heard[link].insert(m_heard[link].end(), sent.begin(), sent.end());
        }
    }

    Texts m_heard;
    std::vector<std::string> m_log;
};

// Link 4's private desk 1 (code 111111) full of computer players, between games.
const std::vector<Step> kPrivate = {{4, Kind::Create, "add 1 0 111111 | change"},
                                    {4, Kind::Bots, "change", 1, "easy"}};

// `count` requests of `kind` with a wrong code by link 1, a millisecond apart from `from`.
std::vector<Step> wrongCodes(Kind kind, const std::string& heard, int count, long long from) {
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        steps.push_back({1, kind, heard, 0, "999999", from + i});
    }
    return steps;
}

const std::string kNoDesk = "watch refused no such desk";
const std::string kWrongJoin = "join refused wrong or expired code";

TEST(HallWatchTest, WatchRules) {
    const Row rows[] = {
        {"watched: counts to all, in a game; unwatch is silent, ends the texts, then ignored",
         {act(1, Act::InGame, "idle"),
          {1, Kind::Watch, "watch ok 0 1 | watchers 1"},
          {2, Kind::Watch, "watch ok 0 2 | watchers 2"},
          act(1, Act::Listen, "watchers 2"),
          act(1, Act::InGame, "in game"),
          {1, Kind::Sit, "sit refused game running"},
          {1, Kind::Unwatch},
          act(2, Act::Listen, "watchers 1"),
          act(1, Act::InGame, "idle"),
          {1, Kind::Unwatch},
          act(1, Act::Run, "", 0, 1000),
          act(2, Act::Listen, "game")},
         {"desk 0: watched by connection 2, 2 watching"}},
        {"seated is refused first; no such desk: never used, negative, between games",
         {{1, Kind::Add, "add 1 0 | change"},
          {1, Kind::Watch, "watch refused already seated", 7},
          {2, Kind::Watch, kNoDesk, 5},
          {2, Kind::Watch, kNoDesk, -1},
          {2, Kind::Watch, kNoDesk, 1}}},
        {"a private desk: by code (between games too, with its code), never by number",
         then(kPrivate, {{1, Kind::Watch, "watch ok 1 1 111111 | watchers 1", 0, "111111"},
                         {1, Kind::Sit, "sit refused no free seat"},
                         {4, Kind::Ready, "change | start | game", 1},
                         act(1, Act::Listen, "change | game"),
                         {2, Kind::Watch, kNoDesk, 1}})},
        {"watches' and joins' wrong codes count as one; at ten, watch and join wait a minute",
         then(
             then(wrongCodes(Kind::Watch, kNoDesk, 5, 0), wrongCodes(Kind::Join, kWrongJoin, 4, 5)),
             {{1, Kind::Watch, kNoDesk, 0, "999999", 9},
              {1, Kind::Watch, "watch refused too many wrong codes 60", 0, "", 10},
              {1, Kind::Join, "join refused too many wrong codes 60", 0, "111111", 10},
              {1, Kind::Watch, "watch ok 0 1 | watchers 1", 0, "", 60000}}),
         {"connection 1 (10.0.0.1): wrong private-desk code, 10 from the address",
          "connection 1 (10.0.0.1): watch refused, too many wrong codes, retry in 60 s"}},
        {"the desk's cap (2) before the server's (2); watching one's desk again adds nobody",
         {{1, Kind::Watch, "watch ok 0 1 | watchers 1"},
          {2, Kind::Watch, "watch ok 0 2 | watchers 2"},
          {3, Kind::Watch, "watch refused desk full"},
          act(1, Act::Listen, "watchers 2"),
          {1, Kind::Watch, "watch ok 0 2"}},
         {},
         2,
         2},
        {"server full (3), yet a spectator moves; the first desk ends once accepted, only then",
         {act(1, Act::BotDesk),
          {1, Kind::Watch, "watch ok 0 1 | watchers 1"},
          {2, Kind::Watch, "watch ok 0 2 | watchers 2"},
          {3, Kind::Watch, "watch ok 1 1 | watchers 1", 1},
          {4, Kind::Watch, "watch refused server full", 1},
          {1, Kind::Watch, "watchers 2 | " + kNoDesk, 9},
          act(2, Act::Listen),
          {1, Kind::Watch, "watch ok 1 2 | watchers 2", 1},
          act(2, Act::Listen, "watchers 1"),
          act(3, Act::Listen, "watchers 2"),
          act(1, Act::Run, "", 0, 1000)},
         {"desk 0: connection 1 stops watching, 1 watching"},
         50,
         3},
        {"an address: two a desk before desk full (3), three in all; one moving counts once",
         {act(1, Act::BotDesk),
          {1, Kind::Watch, "watch ok 0 1 | watchers 1"},
          {2, Kind::Watch, "watch ok 0 2 | watchers 2"},
          {6, Kind::Watch, "watch ok 0 3 | watchers 3"},
          {3, Kind::Watch, "watch refused too many from your address"},
          {7, Kind::Watch, "watch refused desk full"},
          {3, Kind::Watch, "watch ok 1 1 | watchers 1", 1},
          {4, Kind::Watch, "watch refused too many from your address", 1},
          {1, Kind::Watch, "watchers 2 | watchers 3 | watch ok 1 2 | watchers 2", 1}},
         {"connection 3 (10.0.0.1): watch refused, too many spectators from the address"},
         3, 50, 2, 3},
        {"sit takes the first free seat between games, with a private desk's code",
         {{4, Kind::Create, "add 1 0 111111 | change"},
          {1, Kind::Watch, "watch ok 1 1 111111 | watchers 1", 0, "111111"},
          {2, Kind::Watch, "watch ok 1 2 111111 | watchers 2", 0, "111111"},
          {1, Kind::Sit, "watchers 2 | add 1 1 111111 | change"},
          act(2, Act::Listen, "watchers 1 | change"),
          {1, Kind::Sit, "sit refused not watching"}}},
        {"the desk's last person gone, its spectators are sent away",
         then(kPrivate, {{1, Kind::Watch, "watch ok 1 1 111111 | watchers 1", 0, "111111"},
                         {4, Kind::Leave, "", 1},
                         act(1, Act::Listen, "unwatch closed"),
                         act(1, Act::InGame, "idle")}),
         {"desk 1: deserted, 1 spectators sent back to the hall"}},
        {"add, create, a seating join, a close, a hello taking a person end it; a refused join not",
         {{6, Kind::Hello, "hello ok"},
          {7, Kind::Watch, "watch ok 0 1 | watchers 1"},
          {1, Kind::Watch, "watch ok 0 2 | watchers 2"},
          {1, Kind::Add, "add 1 0 | change"},
          act(7, Act::Listen, "watchers 2 | watchers 1"),
          {2, Kind::Watch, "watch ok 0 2 | watchers 2"},
          {2, Kind::Create, "add 2 0 111111 | change"},
          act(7, Act::Listen, "watchers 2 | watchers 1"),
          {3, Kind::Watch, "watch ok 0 2 | watchers 2"},
          {3, Kind::Join, kWrongJoin, 0, "1"},
          act(7, Act::Listen, "watchers 2"),
          {3, Kind::Join, "add 2 1 111111 | change", 0, "111111"},
          act(7, Act::Listen, "watchers 1"),
          {4, Kind::Watch, "watch ok 0 2 | watchers 2"},
          act(4, Act::Drop),
          act(7, Act::Listen, "watchers 2 | watchers 1"),
          {5, Kind::Watch, "watch ok 0 2 | watchers 2"},
          {5, Kind::Hello, "hello ok"},
          act(7, Act::Listen, "watchers 2 | watchers 1")}},
        {"one list a second a link is answered; the rest are counted, logged at the close",
         {{1, Kind::Desks, "desks"},
          {1, Kind::Desks, "", 0, "", 999},
          {2, Kind::Desks, "desks", 0, "", 500},
          {1, Kind::Desks, "desks", 0, "", 1000},
          {1, Kind::Desks, "", 0, "", 1999},
          act(1, Act::Drop, "", 0, 2000)},
         {"connection 1: 2 desks requests ignored (more than one a second)"}},
    };
    for (const Row& row : rows) {
        Script script(row);
        for (std::size_t index = 0; index < row.steps.size(); ++index) {
            const Step& step = row.steps[index];
            EXPECT_EQ(script.run(step), step.heard) << row.what << ", step " << index;
        }
        for (const std::string& text : row.logHas) {
            EXPECT_TRUE(logHas(script.log(), text)) << row.what << ": no log line has " << text;
        }
    }
}

// The list: the public desks whose game runs, by number, the first hundred, each as it is. Desk 0
// is private and plays, desk 1 a person's with computer players, desk 2 between games; then more
// desks of computer players than the list holds.
TEST(HallWatchTest, TheListShowsTheFirstHundredPublicRunningDesksAsTheyAre) {
    HallDriver driver{server::HallConfig{}};
    Hall& hall = driver.hall;
    Hall::Output& out = driver.out;
    const auto send = [&](LinkId link, Kind kind, int desk, long long at) {
        hall.connect(link, "10.0.0.1");
        ClientRequest made = request(kind, desk, 0);
        made.level = "easy";
        hall.handle(link, made, Millis(at), out);
    };
    const auto runUntil = [&](Millis at) {
        for (int desk = 0; desk < static_cast<int>(hall.deskCount()); ++desk) {
            driver.runDeskOnTime(desk, at);
        }
    };
    send(5, Kind::Create, 0, 0);
    send(5, Kind::Bots, 0, 0);
    send(5, Kind::Ready, 0, 0);
    send(1, Kind::Add, 0, 0);
    runUntil(Millis(2000));  // computer players take desk 1's free seats
    send(1, Kind::Ready, 1, 2000);
    send(2, Kind::Add, 0, 2000);
    for (int i = 0; i <= kWatchListSize; ++i) {
        hall.openBotDesk(Millis(2000), out);  // desks 3 to 103
    }
    std::map<int, int> watched = {{1, 2}, {3, 1}};
    send(6, Kind::Watch, 1, 2000);
    send(7, Kind::Watch, 1, 2000);
    send(8, Kind::Watch, 3, 2000);
    const Millis now(47500);
    runUntil(now);
    out = Hall::Output{};
    send(9, Kind::Desks, 0, now.count());

    // "desk p0 p1 seconds watchers name/bot ..." for each desk listed, and as the desk is.
    ASSERT_EQ(out.sends.size(), 1u);
    rapidjson::Document doc;
    doc.Parse(out.sends[0].text.c_str());
    ASSERT_TRUE(doc.IsObject() && doc.HasMember("info") && doc["info"].IsArray());
    const auto at = [](const rapidjson::Value& object, const char* key) {
        const bool has = object.IsObject() && object.HasMember(key) && object[key].IsString();
        return std::string(has ? object[key].GetString() : "?");
    };
    std::vector<std::string> listed;
    for (const auto& entry : doc["info"].GetArray()) {
        std::string line;
        for (const char* key : {"desk", "p0", "p1", "seconds", "watchers"}) {
            line += at(entry, key) + " ";
        }
        if (entry.IsObject() && entry.HasMember("seats") && entry["seats"].IsArray()) {
            for (const auto& seat : entry["seats"].GetArray()) {
                line += at(seat, "name") + "/" + at(seat, "bot") + " ";
            }
        }
        listed.push_back(line);
    }
    std::vector<std::string> expected;  // desk 1, then desks 3 on
    int scored = 0;
    for (int number = 1; expected.size() < static_cast<std::size_t>(kWatchListSize);
         number += number == 1 ? 2 : 1) {
        const server::DeskGame& desk = hall.desk(number);
        ASSERT_NE(desk.round(), nullptr) << number;
        const auto points = desk.round()->teamPoints();
        scored += points[0] + points[1] > 0;
        std::string line = std::to_string(number) + " " + std::to_string(points[0]) + " " +
                           std::to_string(points[1]) + " " +
                           std::to_string((now - desk.dealtAt()).count() / 1000) + " " +
                           std::to_string(watched[number]) + " ";
        for (int seat = 0; seat < 4; ++seat) {
            const bool bot = desk.seat(seat).kind == server::DeskGame::SeatKind::Bot;
            line += desk.seat(seat).name + (bot ? "/1 " : "/0 ");
        }
        expected.push_back(line);
    }
    EXPECT_EQ(listed, expected);
    EXPECT_GT(scored, 10) << "desks took points, so the scores were compared";
}

}  // namespace hall_watch_test
