// Private desks on the pure hall: create, join by code, wrong and expired codes, a full desk or a
// running game, the wrong-code limit by link and by address, quick join and the bot-fill timer
// never landing there, the creator's 加电脑, the code's end with the desk's last person, and the
// budget of live private desks an address may open.
// Each row is a script of requests; every step checks what the acting link heard.

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "net/MessageDecoder.h"
#include "server/hall/Hall.h"
#include "tests/server/hall/HallScript.h"
#include "tests/server/protocol/WireCheck.h"

namespace hall_private_test {

using namespace hallscript;

enum class Act { Connect, Hello, Create, Join, Add, Ready, Leave, Bots, Drop, Run };

struct Step {
    Step(LinkId link, Act act, std::string arg = {}, std::string heard = {}, long long at = 0,
         int desk = 0, int seat = 0)
        : link(link), act(act), arg(std::move(arg)), heard(std::move(heard)), at(at), desk(desk),
          seat(seat) {}
    LinkId link = 1;
    Act act = Act::Create;
    std::string arg;    // Connect: the address; Hello: the token ("": kToken); Join: the code;
                        // Bots: the level; Run: the desk
    std::string heard;  // what the acting link receives, summed up by summary(); "" for nothing
    long long at = 0;
    int desk = 0;  // Ready, Leave, Bots
    int seat = 0;
};

struct Row {
    Row(const char* what, std::vector<Step> steps, std::string logHas = {},
        std::vector<std::uint32_t> draws = {111111, 222222, 333333})
        : what(what), steps(std::move(steps)), logHas(std::move(logHas)), draws(std::move(draws)) {}
    const char* what;
    std::vector<Step> steps;
    std::string logHas;  // a text one of the row's log lines contains; "" for no check
    std::vector<std::uint32_t> draws;  // the code source's draws, in order
};

// "add D/S [code C]", "change a,b,c,d" ("-" for a free seat), "refused <reason> [retry N]" (a
// join), "create refused <reason>", or the opt of anything else; one per message, joined by " | ".
std::string summary(const std::vector<std::string>& texts) {
    std::string sum;
    for (const std::string& text : texts) {
        stMsg msg;
        EXPECT_TRUE(decodesForClient(text, msg)) << text;
        std::string one = msg.opt;
        if (msg.opt == "add") {
            one += " " + std::to_string(msg.desk) + "/" + std::to_string(msg.site);
            if (const auto at = text.find(R"("code":")"); at != std::string::npos) {
                one += " code " + text.substr(at + 8, text.find('"', at + 8) - at - 8);
            }
            one += msg.creator == 1 ? " creator" : "";
        } else if (msg.opt == "change") {
            one += " ";
            for (int seat = 0; seat < 4; ++seat) {
                const std::string& name = msg.info[seat].name;
                one += (seat > 0 ? "," : "") + (name.empty() ? std::string("-") : name);
            }
        } else if (msg.opt == "resume") {
            one += " " + std::to_string(msg.desk) + "/" + std::to_string(msg.site) + " code " +
                   msg.code + (msg.creator == 1 ? " creator" : "");
        } else if (msg.opt == "create") {
            one += " " + msg.status + " " + msg.reason;
        } else if (msg.opt == "join") {
            one = "refused " + msg.reason;
            if (const auto at = text.find(R"("retry":")"); at != std::string::npos) {
                one += " retry " + text.substr(at + 9, text.find('"', at + 9) - at - 9);
            }
        }
        sum += (sum.empty() ? "" : " | ") + one;
    }
    return sum;
}

class Script : public HallDriver {
public:
    explicit Script(const std::vector<std::uint32_t>& draws)
        : HallDriver(config(this)), m_draws(draws.begin(), draws.end()) {}

    static server::HallConfig config(Script* self) {
        server::HallConfig config;
        config.namePrefix = "p";
        config.desk.botWait = Millis(2000);
        config.maxPrivatePerAddress = 2;  // the budget rows open three from one address
        config.codeSource = [self]() {
            const std::uint32_t draw = self->m_draws.front();
            self->m_draws.pop_front();
            return draw;
        };
        return config;
    }

    // Runs one step; returns what its link heard.
    std::string run(const Step& step) {
        const Millis at(step.at);
        ClientRequest req = request(Kind::Query, step.desk, step.seat);
        switch (step.act) {
            case Act::Connect:
                hall.connect(step.link, step.arg);
                return heard(step.link, drain());
            case Act::Drop:
                return heard(step.link, drop(step.link, at));
            case Act::Run:
                return heard(step.link, runDesk(std::stoi(step.arg), at));
            case Act::Hello:
                req = helloRequest(step.arg.empty() ? kToken : step.arg);
                break;
            case Act::Create:
                req.kind = Kind::Create;
                break;
            case Act::Join:
                req.kind = Kind::Join;
                req.code = step.arg;
                break;
            case Act::Add:
                req.kind = Kind::Add;
                break;
            case Act::Ready:
                req.kind = Kind::Ready;
                break;
            case Act::Leave:
                req.kind = Kind::Leave;
                break;
            case Act::Bots:
                req.kind = Kind::Bots;
                req.level = step.arg;
                break;
        }
        return heard(step.link, send(step.link, req, at));
    }

    const std::vector<std::string>& log() const { return m_log; }

private:
    // What `link` got of the step's texts, summed up; the rest of the output is dropped.
    std::string heard(LinkId link, const Texts& texts) {
        m_log.insert(m_log.end(), out.log.begin(), out.log.end());
        clearOutput();
        return summary(textsOf(texts, link));
    }

    std::deque<std::uint32_t> m_draws;
    std::vector<std::string> m_log;
};

// Links 1 to 4 connected from addresses of their own.
std::vector<Step> fourLinks() {
    return {{1, Act::Connect, "10.0.0.1", ""},
            {2, Act::Connect, "10.0.0.2", ""},
            {3, Act::Connect, "10.0.0.3", ""},
            {4, Act::Connect, "10.0.0.4", ""}};
}

// `count` wrong codes from `link`, one a millisecond from `from`.
std::vector<Step> wrongCodes(LinkId link, int count, long long from) {
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        steps.push_back({link, Act::Join, "999999", "refused wrong or expired code", from + i});
    }
    return steps;
}

const std::string kCreated = "add 0/0 code 111111 creator | change p1,-,-,-";
const std::string kWrong = "refused wrong or expired code";

TEST(HallPrivateTest, PrivateDeskRules) {
    const Row rows[] = {
        {"create seats the creator at a desk of its own, with its code",
         then(fourLinks(), {{1, Act::Create, "", kCreated}}), "desk 0: private desk opened"},
        {"a code a live desk has is drawn again",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {2, Act::Create, "", "add 1/0 code 333333 creator | change p2,-,-,-"}}),
         "", {111111, 111111, 333333}},
        {"codes keep their leading zeros and draws past the last whole million are drawn again",
         then(fourLinks(), {{1, Act::Create, "", "add 0/0 code 000042 creator | change p1,-,-,-"}}), "",
         {4294967295u, 4294000042u, 42}},
        {"join by code sits at the creator's desk",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {2, Act::Join, "111111", "add 0/1 code 111111 | change p1,p2,-,-"}})},
        {"a wrong code changes nothing and is logged",
         then(fourLinks(), {{1, Act::Create, "", kCreated}, {2, Act::Join, "111112", kWrong},
                            {2, Act::Add, "", "add 1/0 | change p2,-,-,-"}}),
         "connection 2 (10.0.0.2): wrong private-desk code, 1 from the address in the last minute"},
        {"text that is not a code is a wrong code",
         then(fourLinks(), {{1, Act::Create, "", kCreated}, {2, Act::Join, "11111", kWrong},
                            {2, Act::Join, "1111111", kWrong}, {2, Act::Join, "", kWrong}})},
        {"the code is gone when the last person leaves",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {2, Act::Join, "111111", "add 0/1 code 111111 | change p1,p2,-,-"},
                            {1, Act::Leave, "", ""},
                            {2, Act::Leave, "", "", 0, 0, 1},
                            {3, Act::Join, "111111", kWrong}}),
         "desk 0: private desk closed, its code is gone"},
        {"a held seat keeps the desk and its code",
         then(fourLinks(), {{1, Act::Hello, "", "hello"},
                            {1, Act::Create, "", kCreated},
                            {1, Act::Drop, "", ""},
                            {2, Act::Join, "111111", "add 0/1 code 111111 | change p1,p2,-,-"}})},
        {"the creator back on a new link has the code and 加电脑 again",
         then(fourLinks(), {{1, Act::Hello, "", "hello"},
                            {1, Act::Create, "", kCreated},
                            {1, Act::Drop, "", ""},
                            {5, Act::Connect, "10.0.0.1", ""},
                            {5, Act::Hello, "", "hello | resume 0/0 code 111111 creator | presence"},
                            {5, Act::Bots, "easy", "change p1,bot1,bot2,bot3"}})},
        {"the creator who left and comes back by the code with the token is the creator still",
         then(fourLinks(), {{1, Act::Hello, "", "hello"},
                            {1, Act::Create, "", kCreated},
                            {2, Act::Join, "111111", "add 0/1 code 111111 | change p1,p2,-,-"},
                            {1, Act::Leave, "", ""},
                            {1, Act::Drop, "", ""},
                            {5, Act::Connect, "10.0.0.1", ""},
                            {5, Act::Hello, "", "hello"},
                            {5, Act::Join, "111111", "add 0/0 code 111111 creator | change p3,p2,-,-"},
                            {5, Act::Bots, "easy", "change p3,p2,bot2,bot3"},
                            {5, Act::Drop, "", ""},
                            {6, Act::Connect, "10.0.0.1", ""},
                            {6, Act::Hello, "", "hello | resume 0/0 code 111111 creator | presence"}})},
        {"another token in the creator's seat is not the creator",
         then(fourLinks(), {{1, Act::Hello, "", "hello"},
                            {1, Act::Create, "", kCreated},
                            {2, Act::Join, "111111", "add 0/1 code 111111 | change p1,p2,-,-"},
                            {1, Act::Leave, "", ""},
                            {3, Act::Hello, kOtherToken, "hello"},
                            {3, Act::Join, "111111", "add 0/0 code 111111 | change p3,p2,-,-"},
                            {3, Act::Bots, "easy", ""},
                            {3, Act::Drop, "", ""},
                            {5, Act::Connect, "10.0.0.3", ""},
                            {5, Act::Hello, kOtherToken, "hello | resume 0/0 code 111111 | presence"}})},
        {"a friend back on a new link has the code",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {2, Act::Hello, "", "hello"},
                            {2, Act::Join, "111111", "add 0/1 code 111111 | change p1,p2,-,-"},
                            {2, Act::Drop, "", ""},
                            {5, Act::Connect, "10.0.0.2", ""},
                            {5, Act::Hello, "", "hello | resume 0/1 code 111111 | presence"}})},
        {"a held seat freed at the end of the hold takes the code with it",
         then(fourLinks(), {{1, Act::Hello, "", "hello"},
                            {1, Act::Create, "", kCreated},
                            {1, Act::Drop, "", "", 1000},
                            {2, Act::Run, "0", "", 61000},
                            {2, Act::Join, "111111", kWrong, 61000}})},
        {"a full desk refuses",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {2, Act::Join, "111111", "add 0/1 code 111111 | change p1,p2,-,-"},
                            {3, Act::Join, "111111", "add 0/2 code 111111 | change p1,p2,p3,-"},
                            {4, Act::Join, "111111", "add 0/3 code 111111 | change p1,p2,p3,p4"},
                            {5, Act::Connect, "10.0.0.5", ""},
                            {5, Act::Join, "111111", "refused desk full"}})},
        {"a desk whose game runs refuses",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {1, Act::Bots, "easy", "change p1,bot1,bot2,bot3"},
                            {1, Act::Ready, "", "change p1,bot1,bot2,bot3 | start | game"},
                            {2, Act::Join, "111111", "refused game running"}})},
        {"a seated person cannot join another desk",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {2, Act::Add, "", "add 1/0 | change p2,-,-,-"},
                            {2, Act::Join, "111111", "refused already seated"},
                            {1, Act::Create, "", ""}})},
        {"the tenth wrong code from a link shuts joins for the rest of its minute",
         then(then(fourLinks(), {{1, Act::Create, "", kCreated}}),
              then(wrongCodes(2, 10, 0),
                   {{2, Act::Join, "111111", "refused too many wrong codes retry 60", 10},
                    {2, Act::Join, "111111", "refused too many wrong codes retry 1", 59001},
                    {2, Act::Join, "111111", "add 0/1 code 111111 | change p1,p2,-,-",
                     60000}})),
         "connection 2 (10.0.0.2): join refused, too many wrong codes, retry in 60 s"},
        {"nine wrong codes leave the right one working",
         then(then(fourLinks(), {{1, Act::Create, "", kCreated}}),
              then(wrongCodes(2, 9, 0),
                   {{2, Act::Join, "111111", "add 0/1 code 111111 | change p1,p2,-,-", 10}}))},
        {"the limit is the address's too, across its links and after they close",
         then(then({{1, Act::Connect, "10.0.0.1", ""},
                    {2, Act::Connect, "10.9.9.9", ""},
                    {3, Act::Connect, "10.9.9.9", ""},
                    {4, Act::Connect, "10.0.0.4", ""},
                    {1, Act::Create, "", kCreated}},
                   then(wrongCodes(2, 5, 0), wrongCodes(3, 5, 100))),
              {{4, Act::Join, "111111", "add 0/1 code 111111 | change p1,p2,-,-", 200},
               {3, Act::Drop, "", "", 200},
               {5, Act::Connect, "10.9.9.9", "", 200},
               {5, Act::Join, "111111", "refused too many wrong codes retry 60", 200}})},
        {"quick join never lands at a private desk with a free seat",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {2, Act::Add, "", "add 1/0 | change p2,-,-,-"},
                            {3, Act::Add, "", "add 1/1 | change p2,p3,-,-"}})},
        {"a private desk left empty is an ordinary desk again",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {1, Act::Leave, "", ""},
                            {2, Act::Add, "", "add 0/0 | change p2,-,-,-"}})},
        {"computer players never sit at a private desk by themselves",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {1, Act::Run, "0", "", 59000},
                            {2, Act::Add, "", "add 1/0 | change p2,-,-,-", 59000},
                            {2, Act::Run, "1", "change p2,bot1,bot2,bot3", 61000}})},
        {"加电脑 fills the free seats for the creator, and all four ready starts the game",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {2, Act::Join, "111111", "add 0/1 code 111111 | change p1,p2,-,-"},
                            {1, Act::Bots, "hard", "change p1,p2,bot2,bot3"},
                            {1, Act::Ready, "", "change p1,p2,bot2,bot3"},
                            {2, Act::Ready, "", "change p1,p2,bot2,bot3 | start | game", 0, 0, 1}})},
        {"加电脑 from anyone but the creator, or at another seat, is ignored",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {2, Act::Join, "111111", "add 0/1 code 111111 | change p1,p2,-,-"},
                            {2, Act::Bots, "easy", "", 0, 0, 1},
                            {1, Act::Bots, "easy", "", 0, 0, 1},
                            {2, Act::Add, "", ""}})},
        {"加电脑 with an unknown level, or at a public desk, is ignored",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {1, Act::Bots, "expert", ""},
                            {1, Act::Bots, "Hard", ""},
                            {2, Act::Add, "", "add 1/0 | change p2,-,-,-"},
                            {2, Act::Bots, "easy", "", 0, 1, 0}})},
        {"the creator's computer players leave with the last person, and the code with them",
         then(fourLinks(), {{1, Act::Create, "", kCreated},
                            {1, Act::Bots, "normal", "change p1,bot1,bot2,bot3"},
                            {1, Act::Leave, "", ""},
                            {2, Act::Join, "111111", kWrong},
                            {2, Act::Create, "", "add 0/0 code 222222 creator | change p2,-,-,-"}})},
        {"an address's budget (2): a held seat keeps its desk in it, a desk closed gives back",
         {{1, Act::Connect, "10.0.0.9", ""},
          {2, Act::Connect, "10.0.0.9", ""},
          {3, Act::Connect, "10.0.0.9", ""},
          {4, Act::Connect, "10.0.0.4", ""},
          {1, Act::Hello, "", "hello"},
          {1, Act::Create, "", kCreated},
          {1, Act::Drop, "", ""},
          {2, Act::Create, "", "add 1/0 code 222222 creator | change p2,-,-,-"},
          {3, Act::Create, "", "create refused too many private desks"},
          {4, Act::Create, "", "add 2/0 code 333333 creator | change p3,-,-,-"},
          {2, Act::Leave, "", "", 0, 1, 0},
          {3, Act::Create, "", "add 1/0 code 444444 creator | change p4,-,-,-"}},
         "connection 3 (10.0.0.9): create refused, 2 private desks from the address already",
         {111111, 222222, 333333, 444444}},
    };
    for (const Row& row : rows) {
        Script script(row.draws);
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

}  // namespace hall_private_test
