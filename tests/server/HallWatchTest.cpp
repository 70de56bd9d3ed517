// Spectators on the pure hall: each refusal of "watch" in its order, the caps (lowered), moving
// to another desk, "sit" accepted and refused, "unwatch", a deserted desk, the link's close and
// "add", "create" or "join" ending the watching, the spectators' counts; then the list against
// the desks, and its rate. Each row is a script of requests; every step checks what one link
// heard since it last listened.

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "server/hall/Hall.h"
#include "tests/server/HallRequests.h"

namespace {

using server::ClientRequest;
using server::Hall;
using server::LinkId;
using server::Millis;
using Kind = ClientRequest::Kind;

const std::string kToken = "0123456789abcdef0123456789abcdef";

enum class Act {
    Connect, Hello, BotDesk, Create, Join, Add, Ready, Leave, Bots, Drop, Run, Watch, WatchCode,
    Unwatch, Sit, Desks, Listen
};

struct Step {
    Step(LinkId link, Act act, std::string heard = {}, int desk = 0, std::string arg = {},
         long long at = 0, int seat = 0)
        : link(link), act(act), heard(std::move(heard)), desk(desk), arg(std::move(arg)), at(at),
          seat(seat) {}
    LinkId link = 1;
    Act act = Act::Listen;
    std::string heard;  // what `link` heard since it last listened, summed up by summary()
    int desk = 0;       // Watch, Ready, Leave, Bots, Run
    std::string arg;    // WatchCode, Join: the code; Bots: the level
    long long at = 0;
    int seat = 0;       // Ready, Leave, Bots
};

struct Row {
    const char* what;
    std::vector<Step> steps;
    std::string logHas = {};  // a text one of the row's log lines contains; "" for no check
    int perDesk = server::kMaxWatchersPerDesk;
    int total = server::kMaxWatchers;
};

std::string stringAt(const rapidjson::Value& object, const char* key) {
    const auto member = object.FindMember(key);
    return member != object.MemberEnd() && member->value.IsString() ? member->value.GetString()
                                                                    : "";
}

// "watch ok D N [code C]" (and " +K" for each key a spectator must never get), "watch refused
// R [retry N]", "sit refused R", "watchers N", "unwatch R", "add D/S [code C]", "change a,b,c,d"
// ("-" for a free seat), "desks D,D,...", or the opt of anything else; joined by " | ".
std::string summary(const std::vector<std::string>& texts) {
    std::string sum;
    for (const std::string& text : texts) {
        rapidjson::Document doc;
        doc.Parse(text.data(), text.size());
        if (doc.HasParseError() || !doc.IsObject()) {
            ADD_FAILURE() << "not a JSON object: " << text;
            continue;
        }
        const std::string opt = stringAt(doc, "opt");
        std::string one = opt;
        const std::string code = stringAt(doc, "code");
        if (stringAt(doc, "status") == "refused") {
            one += " refused " + stringAt(doc, "reason");
            if (doc.HasMember("retry")) {
                one += " retry " + stringAt(doc, "retry");
            }
        } else if (opt == "watch") {
            one += " ok " + stringAt(doc, "desk") + " " + stringAt(doc, "watchers");
            one += code.empty() ? "" : " code " + code;
            for (const char* key : {"cards", "site", "name", "creator"}) {
                one += doc.HasMember(key) ? std::string(" +") + key : "";
            }
        } else if (opt == "watchers") {
            one += " " + stringAt(doc, "count");
        } else if (opt == "unwatch") {
            one += " " + stringAt(doc, "reason");
        } else if (opt == "add") {
            one += " " + stringAt(doc, "desk") + "/" + stringAt(doc, "site");
            one += code.empty() ? "" : " code " + code;
        } else if (opt == "change") {
            one += " ";
            for (int seat = 0; seat < 4; ++seat) {
                const std::string name = stringAt(doc["info"][seat], "name");
                one += (seat > 0 ? "," : "") + (name.empty() ? std::string("-") : name);
            }
        } else if (opt == "desks") {
            one += " ";
            for (const auto& entry : doc["info"].GetArray()) {
                one += (one.back() == ' ' ? "" : ",") + stringAt(entry, "desk");
            }
        }
        sum += (sum.empty() ? "" : " | ") + one;
    }
    return sum;
}

// The acts that are one plain request, with desk and seat from the step.
const std::map<Act, Kind> kPlain = {
    {Act::Create, Kind::Create}, {Act::Add, Kind::Add},         {Act::Ready, Kind::Ready},
    {Act::Leave, Kind::Leave},   {Act::Watch, Kind::Watch},     {Act::Unwatch, Kind::Unwatch},
    {Act::Sit, Kind::Sit},       {Act::Desks, Kind::Desks}};

class Script {
public:
    explicit Script(const Row& row) : m_hall(config(row)) {}

    static server::HallConfig config(const Row& row) {
        server::HallConfig config;
        config.namePrefix = "p";
        config.desk.botWait = Millis(2000);
        config.maxWatchersPerDesk = row.perDesk;
        config.maxWatchers = row.total;
        auto draws = std::make_shared<std::uint32_t>(111111);
        config.codeSource = [draws]() { return (*draws)++; };  // 111111, 111112, ...
        return config;
    }

    // Runs one step; returns what its link heard since it last listened.
    std::string run(const Step& step) {
        const Millis at(step.at);
        ClientRequest req = request(Kind::Query, step.desk, step.seat);
        if (const auto plain = kPlain.find(step.act); plain != kPlain.end()) {
            req.kind = plain->second;
            m_hall.handle(step.link, req, at, m_out);
            return take(step.link);
        }
        switch (step.act) {
            case Act::Connect:
                m_hall.connect(step.link, "10.0.0." + std::to_string(step.link));
                break;
            case Act::BotDesk:
                m_hall.openBotDesk(at, m_out);
                break;
            case Act::Drop:
                m_hall.disconnect(step.link, at, m_out);
                break;
            case Act::Run:
                while (m_hall.deskDeadline(step.desk) && *m_hall.deskDeadline(step.desk) <= at) {
                    m_hall.advanceDesk(step.desk, *m_hall.deskDeadline(step.desk), m_out);
                }
                break;
            case Act::Hello:
                m_hall.handle(step.link, helloRequest(kToken), at, m_out);
                break;
            case Act::Join:
            case Act::WatchCode:
                req.kind = step.act == Act::Join ? Kind::Join : Kind::Watch;
                req.code = step.arg;
                req.byCode = true;
                m_hall.handle(step.link, req, at, m_out);
                break;
            case Act::Bots:
                req.kind = Kind::Bots;
                req.level = step.arg;
                m_hall.handle(step.link, req, at, m_out);
                break;
            default:  // Listen
                break;
        }
        return take(step.link);
    }

    const std::vector<std::string>& log() const { return m_log; }
    const Hall& hall() const { return m_hall; }

private:
    std::string take(LinkId link) {
        for (Hall::Send& send : m_out.sends) {
            m_heard[send.link].push_back(std::move(send.text));
        }
        m_log.insert(m_log.end(), m_out.log.begin(), m_out.log.end());
        m_out = Hall::Output{};
        const std::string sum = summary(m_heard[link]);
        m_heard[link].clear();
        return sum;
    }

    Hall m_hall;
    Hall::Output m_out;
    std::map<LinkId, std::vector<std::string>> m_heard;
    std::vector<std::string> m_log;
};

std::vector<Step> then(std::vector<Step> first, const std::vector<Step>& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

// Links 1 to 5 connected, and desk 0 a desk of computer players whose game runs.
std::vector<Step> botDeskAndLinks() {
    return {{1, Act::Connect}, {2, Act::Connect}, {3, Act::Connect}, {4, Act::Connect},
            {5, Act::Connect}, {1, Act::BotDesk}};
}

// Link 4 opens private desk 1 (code 111111) and fills it with computer players, between games.
std::vector<Step> privateDesk() {
    return {{4, Act::Create, "add 1/0 code 111111 | change p1,-,-,-"},
            {4, Act::Bots, "change p1,bot1,bot2,bot3", 1, "easy"}};
}

const std::string kWatch0 = "watch ok 0 1 | watchers 1";
const std::string kNoDesk = "watch refused no such desk";

// Links 1 and 2 watch desk 0; link 1 has heard the second count.
std::vector<Step> twoWatch() {
    return {{1, Act::Watch, kWatch0},
            {2, Act::Watch, "watch ok 0 2 | watchers 2"},
            {1, Act::Listen, "watchers 2"}};
}

std::vector<Step> wrongWatches(LinkId link, int count) {
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        steps.push_back({link, Act::WatchCode, kNoDesk, 0, "999999", i});
    }
    return steps;
}

TEST(HallWatchTest, WatchRules) {
    const Row rows[] = {
        {"a running public desk is watched, its count goes to every spectator",
         then(botDeskAndLinks(), twoWatch()), "desk 0: watched by connection 2, 2 watching"},
        {"a spectator gets the desk's public texts and nothing more",
         then(botDeskAndLinks(), {{1, Act::Watch, kWatch0},
                                  {1, Act::Run, "game", 0, "", 1000}})},
        {"a seated person is refused, before any other reason",
         then(botDeskAndLinks(), {{1, Act::Add, "add 1/0 | change p1,-,-,-"},
                                  {1, Act::Watch, "watch refused already seated", 7}})},
        {"a held seat counts as seated",
         then(botDeskAndLinks(), {{1, Act::Hello, "hello"},
                                  {1, Act::Add, "add 1/0 | change p1,-,-,-"},
                                  {1, Act::Drop},
                                  {6, Act::Connect},
                                  {6, Act::Hello, "hello | resume | presence"},
                                  {6, Act::Watch, "watch refused already seated"}})},
        {"no such desk: a number never used, a negative one, or a desk between games",
         then(botDeskAndLinks(), {{1, Act::Watch, kNoDesk, 5},
                                  {1, Act::Watch, kNoDesk, -1},
                                  {2, Act::Add, "add 1/0 | change p1,-,-,-"},
                                  {1, Act::Watch, kNoDesk, 1}})},
        {"a private desk is never watched by its number, even while it plays",
         then(then(botDeskAndLinks(), privateDesk()),
              {{4, Act::Ready, "change p1,bot1,bot2,bot3 | start | game", 1},
               {1, Act::Watch, kNoDesk, 1}})},
        {"by code, a private desk is watched between games, with its code",
         then(then(botDeskAndLinks(), privateDesk()),
              {{1, Act::WatchCode, "watch ok 1 1 code 111111 | watchers 1", 0, "111111"},
               {4, Act::Ready, "change p1,bot1,bot2,bot3 | start | game", 1},
               {1, Act::Listen, "change p1,bot1,bot2,bot3 | game"}})},
        {"a wrong code is no such desk, counted and logged",
         then(botDeskAndLinks(), {{1, Act::WatchCode, kNoDesk, 0, "111111"}}),
         "connection 1 (10.0.0.1): wrong private-desk code, 1 from the address"},
        {"ten wrong codes shut watching, by number too, and joining",
         then(then(botDeskAndLinks(), wrongWatches(1, 10)),
              {{1, Act::Watch, "watch refused too many wrong codes retry 60", 0, "", 10},
               {1, Act::Join, "join refused too many wrong codes retry 60", 0, "111111", 10},
               {1, Act::Watch, kWatch0, 0, "", 60000}}),
         "connection 1 (10.0.0.1): watch refused, too many wrong codes, retry in 60 s"},
        {"wrong codes of joins and watches are one count",
         then(then(then(botDeskAndLinks(), wrongWatches(1, 5)),
                   {{1, Act::Join, "join refused wrong or expired code", 0, "999999", 5},
                    {1, Act::Join, "join refused wrong or expired code", 0, "999999", 6},
                    {1, Act::Join, "join refused wrong or expired code", 0, "999999", 7},
                    {1, Act::Join, "join refused wrong or expired code", 0, "999999", 8}}),
              {{1, Act::WatchCode, kNoDesk, 0, "999999", 9},
               {1, Act::WatchCode, "watch refused too many wrong codes retry 60", 0, "1", 10}})},
        {"a desk with its spectators' cap is full",
         then(botDeskAndLinks(), {{1, Act::Watch, kWatch0},
                                  {2, Act::Watch, "watch ok 0 2 | watchers 2"},
                                  {3, Act::Watch, "watch refused desk full"},
                                  {1, Act::Listen, "watchers 2"},
                                  {1, Act::Watch, "watch ok 0 2"}}),
         "", 2},
        {"the server's cap is full; a spectator may still move",
         then(botDeskAndLinks(), {{1, Act::BotDesk},
                                  {1, Act::Watch, kWatch0},
                                  {2, Act::Watch, "watch ok 1 1 | watchers 1", 1},
                                  {3, Act::Watch, "watch refused server full", 1},
                                  {1, Act::Watch, "watch ok 1 2 | watchers 2", 1},
                                  {2, Act::Listen, "watchers 2"}}),
         "", 50, 2},
        {"desk full is checked before server full",
         then(botDeskAndLinks(), {{1, Act::Watch, kWatch0},
                                  {2, Act::Watch, "watch refused desk full"}}),
         "", 1, 1},
        {"watching another desk ends the first once accepted, and only then",
         then(then(botDeskAndLinks(), {{1, Act::BotDesk}}),
              then(twoWatch(), {{1, Act::Watch, kNoDesk, 9},
                                  {2, Act::Listen},
                                  {1, Act::Watch, "watch ok 1 1 | watchers 1", 1},
                                  {2, Act::Listen, "watchers 1"},
                                  {1, Act::Run, "", 0, "", 1000}})),
         "desk 0: connection 1 stops watching, 1 watching"},
        {"sit takes the first free seat between games, with the code at a private desk",
         std::vector<Step>({{1, Act::Connect}, {4, Act::Connect}, {2, Act::Connect},
               {4, Act::Create, "add 0/0 code 111111 | change p1,-,-,-"},
               {1, Act::WatchCode, "watch ok 0 1 code 111111 | watchers 1", 0, "111111"},
               {2, Act::WatchCode, "watch ok 0 2 code 111111 | watchers 2", 0, "111111"},
               {1, Act::Listen, "watchers 2"},
               {1, Act::Sit, "add 0/1 code 111111 | change p1,p2,-,-"},
               {2, Act::Listen, "watchers 1 | change p1,p2,-,-"},
               {4, Act::Listen, "change p1,p2,-,-"},
               {1, Act::Sit, "sit refused not watching"}})},
        {"sit is refused while the game runs, and with no free seat",
         then(then(botDeskAndLinks(), privateDesk()),
              {{1, Act::Watch, kWatch0},
               {1, Act::Sit, "sit refused game running"},
               {2, Act::WatchCode, "watch ok 1 1 code 111111 | watchers 1", 0, "111111"},
               {2, Act::Sit, "sit refused no free seat"},
               {3, Act::Sit, "sit refused not watching"}})},
        {"unwatch ends the watching silently; again it is ignored",
         then(botDeskAndLinks(), {{1, Act::Watch, kWatch0},
                                  {2, Act::Watch, "watch ok 0 2 | watchers 2"},
                                  {1, Act::Listen, "watchers 2"},
                                  {1, Act::Unwatch},
                                  {2, Act::Listen, "watchers 1"},
                                  {1, Act::Unwatch},
                                  {1, Act::Run, "", 0, "", 1000},
                                  {2, Act::Listen, "game"}})},
        {"the desk's last person gone, its spectators are sent away",
         then(then(botDeskAndLinks(), privateDesk()),
              {{1, Act::WatchCode, "watch ok 1 1 code 111111 | watchers 1", 0, "111111"},
               {4, Act::Leave, "", 1},
               {1, Act::Listen, "unwatch closed"},
               {1, Act::Sit, "sit refused not watching"}}),
         "desk 1: deserted, 1 spectators sent back to the hall"},
        {"a held seat keeps the desk and its spectators",
         std::vector<Step>({{1, Act::Connect}, {4, Act::Connect},
               {4, Act::Hello, "hello"},
               {4, Act::Create, "add 0/0 code 111111 | change p1,-,-,-"},
               {1, Act::WatchCode, "watch ok 0 1 code 111111 | watchers 1", 0, "111111"},
               {4, Act::Drop},
               {1, Act::Listen, "presence"},
               {4, Act::Run, "", 0, "", 61000},
               {1, Act::Listen, "presence | unwatch closed"}})},
        {"the link's close ends the watching",
         then(botDeskAndLinks(), {{1, Act::Watch, kWatch0},
                                  {2, Act::Watch, "watch ok 0 2 | watchers 2"},
                                  {1, Act::Listen, "watchers 2"},
                                  {1, Act::Drop},
                                  {2, Act::Listen, "watchers 1"}})},
        {"add ends the watching",
         then(botDeskAndLinks(), {{1, Act::Watch, kWatch0},
                                  {2, Act::Watch, "watch ok 0 2 | watchers 2"},
                                  {1, Act::Listen, "watchers 2"},
                                  {1, Act::Add, "add 1/0 | change p1,-,-,-"},
                                  {2, Act::Listen, "watchers 1"}})},
        {"create ends the watching",
         then(botDeskAndLinks(), {{1, Act::Watch, kWatch0},
                                  {2, Act::Watch, "watch ok 0 2 | watchers 2"},
                                  {1, Act::Listen, "watchers 2"},
                                  {1, Act::Create, "add 1/0 code 111111 | change p1,-,-,-"},
                                  {2, Act::Listen, "watchers 1"}})},
        {"a join that seats ends the watching; a refused one does not",
         then(then(botDeskAndLinks(), {{4, Act::Create, "add 1/0 code 111111 | change p1,-,-,-"}}),
              then(twoWatch(),
                   {{1, Act::Join, "join refused wrong or expired code", 0, "123456"},
                    {2, Act::Listen},
                    {1, Act::Join, "add 1/1 code 111111 | change p1,p2,-,-", 0, "111111"},
                    {2, Act::Listen, "watchers 1"}}))},
        {"a hello that takes the link to its token's person ends the watching",
         then(botDeskAndLinks(), {{1, Act::Hello, "hello"},
                                  {6, Act::Connect},
                                  {6, Act::Watch, kWatch0},
                                  {2, Act::Watch, "watch ok 0 2 | watchers 2"},
                                  {6, Act::Listen, "watchers 2"},
                                  {6, Act::Hello, "hello"},
                                  {2, Act::Listen, "watchers 1"}})},
        {"a spectator's ready or leave is ignored as from anyone without a seat",
         then(botDeskAndLinks(), {{1, Act::Watch, kWatch0},
                                  {1, Act::Ready, "", 0, "", 0, 1},
                                  {1, Act::Leave, "", 0, "", 0, 1},
                                  {1, Act::Listen}})},
    };
    for (const Row& row : rows) {
        Script script(row);
        for (std::size_t index = 0; index < row.steps.size(); ++index) {
            const Step& step = row.steps[index];
            EXPECT_EQ(script.run(step), step.heard) << row.what << ", step " << index;
        }
        if (!row.logHas.empty()) {
            EXPECT_TRUE(logHas(script.log(), row.logHas))
                << row.what << ": no log line has \"" << row.logHas << "\"";
        }
    }
}

// The "desks" answers `link` received in `out`, read; the output is emptied.
std::vector<rapidjson::Document> desksAnswers(Hall::Output& out, LinkId link) {
    std::vector<rapidjson::Document> answers;
    for (const Hall::Send& send : out.sends) {
        if (send.link == link && send.text.find(R"("opt":"desks")") != std::string::npos) {
            answers.emplace_back();
            answers.back().Parse(send.text.data(), send.text.size());
            EXPECT_FALSE(answers.back().HasParseError()) << send.text;
        }
    }
    out = Hall::Output{};
    return answers;
}

void runDesksUntil(Hall& hall, Millis at, Hall::Output& out) {
    for (int desk = 0; desk < static_cast<int>(hall.deskCount()); ++desk) {
        while (hall.deskDeadline(desk) && *hall.deskDeadline(desk) <= at) {
            hall.advanceDesk(desk, *hall.deskDeadline(desk), out);
        }
    }
}

TEST(HallWatchTest, TheListShowsThePublicRunningDesksAsTheyAre) {
    server::HallConfig config;
    config.namePrefix = "p";
    Hall hall(config);
    Hall::Output out;
    for (LinkId link = 1; link <= 9; ++link) {
        hall.connect(link, "10.0.0.1");
    }
    for (int i = 0; i < 3; ++i) {
        hall.openBotDesk(Millis(0), out);  // desks 0, 1, 2
    }
    ClientRequest hello = helloRequest(kToken);
    hello.name = "小明";
    hall.handle(1, hello, Millis(0), out);
    hall.handle(1, request(Kind::Add), Millis(0), out);  // desk 3, seat 0
    hall.handle(3, request(Kind::Add), Millis(0), out);  // desk 3, seat 1
    hall.handle(2, request(Kind::Create), Millis(0), out);  // desk 4, private
    ClientRequest bots = request(Kind::Bots, 4, 0);
    bots.level = "easy";
    hall.handle(2, bots, Millis(0), out);
    hall.handle(2, request(Kind::Ready, 4, 0), Millis(0), out);  // desk 4 plays, unlisted
    runDesksUntil(hall, Millis(2000), out);                      // computer players at desk 3
    hall.handle(1, request(Kind::Ready, 3, 0), Millis(2000), out);
    hall.handle(3, request(Kind::Ready, 3, 1), Millis(2000), out);  // desk 3 plays
    hall.handle(5, request(Kind::Add), Millis(2000), out);  // desk 5, between games
    hall.handle(6, request(Kind::Watch, 1), Millis(2000), out);
    hall.handle(7, request(Kind::Watch, 1), Millis(2000), out);
    hall.handle(8, request(Kind::Watch, 3), Millis(2000), out);
    const Millis now(47500);
    runDesksUntil(hall, now, out);
    out = Hall::Output{};
    hall.handle(9, request(Kind::Desks), now, out);

    const auto answers = desksAnswers(out, 9);
    ASSERT_EQ(answers.size(), 1u);
    const rapidjson::Value& list = answers[0]["info"];
    std::vector<int> listed;
    bool scored = false;
    for (const auto& entry : list.GetArray()) {
        const int number = std::stoi(stringAt(entry, "desk"));
        listed.push_back(number);
        const server::DeskGame& desk = hall.desk(number);
        ASSERT_NE(desk.round(), nullptr) << number;
        const auto points = desk.round()->teamPoints();
        EXPECT_EQ(stringAt(entry, "p0"), std::to_string(points[0])) << number;
        EXPECT_EQ(stringAt(entry, "p1"), std::to_string(points[1])) << number;
        scored = scored || points[0] + points[1] > 0;
        EXPECT_EQ(stringAt(entry, "seconds"), std::to_string((now - desk.dealtAt()).count() / 1000))
            << number;
        EXPECT_EQ(stringAt(entry, "watchers"), std::to_string(hall.watchers(number))) << number;
        ASSERT_EQ(entry["seats"].Size(), 4u) << number;
        for (int seat = 0; seat < 4; ++seat) {
            const rapidjson::Value& shown = entry["seats"][seat];
            EXPECT_EQ(stringAt(shown, "name"), desk.seat(seat).name) << number << "/" << seat;
            const bool bot = desk.seat(seat).kind == server::DeskGame::SeatKind::Bot;
            EXPECT_EQ(stringAt(shown, "bot"), bot ? "1" : "0") << number << "/" << seat;
        }
    }
    EXPECT_EQ(listed, (std::vector<int>{0, 1, 2, 3})) << "private desk 4, desk 5 between games";
    EXPECT_TRUE(scored) << "some desk took points, so the scores were compared";
    EXPECT_EQ(hall.watchers(1), 2);
    EXPECT_EQ(hall.desk(3).seat(0).name, "小明");
}

TEST(HallWatchTest, TheListHoldsAtMostTheFirstHundredDesks) {
    Hall hall(server::HallConfig{});
    Hall::Output out;
    hall.connect(1, "10.0.0.1");
    for (int i = 0; i < kWatchListSize + 3; ++i) {
        hall.openBotDesk(Millis(0), out);
    }
    hall.handle(1, request(Kind::Desks), Millis(0), out);
    const auto answers = desksAnswers(out, 1);
    ASSERT_EQ(answers.size(), 1u);
    std::vector<int> listed;
    for (const auto& entry : answers[0]["info"].GetArray()) {
        listed.push_back(std::stoi(stringAt(entry, "desk")));
    }
    std::vector<int> first(kWatchListSize);
    for (int i = 0; i < kWatchListSize; ++i) {
        first[i] = i;
    }
    EXPECT_EQ(listed, first);
}

// A spectator is silent by nature: the link counts as in a game (no idle close) while it watches.
TEST(HallWatchTest, ASpectatorIsNotIdle) {
    Hall hall(server::HallConfig{});
    Hall::Output out;
    hall.connect(1, "10.0.0.1");
    hall.openBotDesk(Millis(0), out);
    struct Row {
        const char* what;
        Kind kind;
        bool inGame;
    };
    const Row rows[] = {
        {"in the hall", Kind::Query, false},
        {"watching", Kind::Watch, true},
        {"after unwatch", Kind::Unwatch, false},
        {"watching again", Kind::Watch, true},
    };
    for (const Row& row : rows) {
        hall.handle(1, request(row.kind, 0), Millis(0), out);
        EXPECT_EQ(hall.inGame(1), row.inGame) << row.what;
    }
}

// One "desks" a second a link is answered; the rest are counted, and logged at the close.
TEST(HallWatchTest, TheListIsAnsweredOnceASecondALink) {
    struct Ask {
        LinkId link;
        long long at;
        bool answered;
    };
    const Ask asks[] = {
        {1, 0, true},     {1, 500, false}, {2, 500, true},  // each link has its own second
        {1, 999, false},  {1, 1000, true}, {1, 1999, false},
        {1, 2000, true},  {2, 1499, false}, {2, 1500, true},
    };
    Hall hall(server::HallConfig{});
    Hall::Output out;
    hall.connect(1, "10.0.0.1");
    hall.connect(2, "10.0.0.1");
    for (const Ask& ask : asks) {
        hall.handle(ask.link, request(Kind::Desks), Millis(ask.at), out);
        EXPECT_EQ(desksAnswers(out, ask.link).size(), ask.answered ? 1u : 0u)
            << "link " << ask.link << " at " << ask.at;
    }
    hall.disconnect(1, Millis(3000), out);
    const std::vector<std::string> expected = {
        "connection 1: 3 desks requests ignored (more than one a second)"};
    EXPECT_EQ(out.log, expected);
}

}  // namespace
