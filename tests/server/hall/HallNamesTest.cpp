// The hall's names: what a hello or a "name" asks for, what the hall answers, and where the
// name then shows (Hall.h's names table). The rule itself is wire/PlayerName's own table.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "server/hall/Hall.h"
#include "server/protocol/ServerMessages.h"
#include "tests/server/hall/HallScript.h"
#include "tests/server/protocol/ServerFields.h"

namespace hall_names_test {

using namespace hallscript;

const std::string kTwelve = "一二三四五六七八九十百千";
// Lookups a name may take: the name itself and one stem per digit count.
constexpr std::uint64_t kFewLookups = 8;

std::string tokenFor(LinkId link) {
    std::string token = std::to_string(link);
    return std::string(32 - token.size(), '0') + token;
}

class HallNamesTest : public testing::Test, protected HallDriver {
protected:
    HallNamesTest() : HallDriver(config()) {}
    // Computer players fill a desk's free seats 1 s after a person sits.
    static server::HallConfig config() {
        server::HallConfig config;
        config.namePrefix = "guest";
        config.desk.botWait = Millis(1000);
        return config;
    }
    void startGame() {
        HallDriver::send(1, request(Kind::Ready, 0, 0));
        HallDriver::send(2, request(Kind::Ready, 0, 1));
        runDesk(0, Millis(1000));
        clearOutput();
    }
    // The texts `link` got from one request; the rest of the output is dropped.
    std::vector<std::string> send(LinkId link, const ClientRequest& req, Millis at = Millis(0)) {
        hall.handle(link, req, at, out);
        return take(link);
    }
    std::vector<std::string> take(LinkId link) {
        const std::vector<std::string> got = textsOf(drain(), link);
        clearOutput();
        return got;
    }
    // Links 10, 11, ... say hello with these names and stay in the hall; a name starting with
    // '@' sits down too (without the '@'; "@" alone: seated without a name), at desk 0's seats
    // in order. One starting with '-' goes once all are there: a seated one leaves its seat,
    // another closes its link.
    void others(const std::vector<std::string>& names) {
        LinkId link = 10;
        int seat = 0;
        std::vector<LinkId> closes;
        for (std::string each : names) {
            const bool goes = !each.empty() && each[0] == '-';
            each = goes ? each.substr(1) : each;
            const bool sits = !each.empty() && each[0] == '@';
            const std::string name = sits ? each.substr(1) : each;
            hall.connect(link);
            send(link, helloRequest(tokenFor(link),
                                  name.empty() ? std::nullopt : std::optional<std::string>(name)));
            if (sits) {
                send(link, request(Kind::Add));
                if (goes) {
                    send(link, request(Kind::Leave, 0, seat));
                }
                ++seat;
            } else if (goes) {
                closes.push_back(link);
            }
            ++link;
        }
        for (const LinkId each : closes) {
            drop(each);
        }
        clearOutput();
    }
    std::string addedName(LinkId link) {
        for (const std::string& text : send(link, request(Kind::Add))) {
            if (fieldOf(text, "opt") == "add") {
                return fieldOf(text, "name");
            }
        }
        return "(no add)";
    }
};

// A hello's name: the answer, and the name "add" then seats the person under.
TEST_F(HallNamesTest, HelloAnswersTheNameAndAddShowsIt) {
    struct Row {
        const char* what;
        std::vector<std::string> others;
        std::string token;
        std::optional<std::string> name;
        std::string answer;
        std::string seated;
    };
    const std::string token = tokenFor(1);
    const Row rows[] = {
        {"accepted", {}, token, "小明", server::helloOkMessage(false, false, {"小明", {}}), "小明"},
        {"cleaned", {}, token, "\xE3\x80\x80 小明 ", server::helloOkMessage(false, false, {"小明", {}}),
         "小明"},
        {"none asked: the made-up name", {}, token, std::nullopt, server::helloOkMessage(false),
         "guest1"},
        {"too long", {}, token, kTwelve + "万",
         server::helloOkMessage(false, false, {{}, "too long"}), "guest1"},
        {"zero-width space", {}, token, "小\xE2\x80\x8B明",
         server::helloOkMessage(false, false, {{}, "invisible character"}), "guest1"},
        {"spaces only", {}, token, "   ", server::helloOkMessage(false, false, {{}, "empty"}),
         "guest1"},
        {"bad utf-8", {}, token, "\xC0\xAF", server::helloOkMessage(false, false, {{}, "bad utf-8"}),
         "guest1"},
        {"taken in the hall", {"小明"}, token, "小明",
         server::helloOkMessage(false, false, {"小明2", {}}), "小明2"},
        {"taken at a desk", {"@小明"}, token, "小明",
         server::helloOkMessage(false, false, {"小明2", {}}), "小明2"},
        {"taken twice", {"小明", "@小明"}, token, "小明",
         server::helloOkMessage(false, false, {"小明3", {}}), "小明3"},
        {"taken at twelve characters: the suffix replaces the last", {kTwelve}, token, kTwelve,
         server::helloOkMessage(false, false, {"一二三四五六七八九十百2", {}}),
         "一二三四五六七八九十百2"},
        {"a made-up name someone shows is taken too", {"@"}, token, "guest1",
         server::helloOkMessage(false, false, {"guest12", {}}), "guest12"},
        {"a chosen name the counter reaches is skipped", {"guest1"}, token, std::nullopt,
         server::helloOkMessage(false), "guest2"},
        {"the lowest free number again once its person has gone", {"小明", "-小明", "小明"},
         token, "小明", server::helloOkMessage(false, false, {"小明2", {}}), "小明2"},
        {"a number chosen with the name counts", {"小明", "小明2"}, token, "小明",
         server::helloOkMessage(false, false, {"小明3", {}}), "小明3"},
        {"a made-up name is free again once its person has left the seat", {"-@"}, token,
         "guest1", server::helloOkMessage(false, false, {"guest1", {}}), "guest1"},
        {"twelve characters give up two for a two-digit number",
         std::vector<std::string>(9, kTwelve), token, kTwelve,
         server::helloOkMessage(false, false, {"一二三四五六七八九十10", {}}),
         "一二三四五六七八九十10"},
        {"twelve characters with the number, chosen as such, count",
         {kTwelve, "一二三四五六七八九十百2"}, token, kTwelve,
         server::helloOkMessage(false, false, {"一二三四五六七八九十百3", {}}),
         "一二三四五六七八九十百3"},
        {"a refused hello still takes the name", {}, "bad", "小明",
         server::helloRefusedMessage(server::kHelloBadToken, -1, {"小明", {}}), "小明"},
    };
    for (const Row& row : rows) {
        hall = Hall(config());
        clearOutput();
        others(row.others);
        hall.connect(1);
        EXPECT_EQ(send(1, helloRequest(row.token, row.name)), std::vector<std::string>{row.answer})
            << row.what;
        EXPECT_EQ(addedName(1), row.seated) << row.what;
    }
}

// "name" later (the settings panel): its answer, and what the desk hears.
TEST_F(HallNamesTest, NameRequestAnswersAndTheDeskFollows) {
    enum class Where { Hall, Seated, Playing };
    struct Row {
        const char* what;
        Where where;
        std::string name;
        std::string answer;
        std::string seatShows;  // seat 0's name in the desk's last "change"; "" when none came
        std::string before = {};  // a name the person asked for first; "" for none
    };
    const Row rows[] = {
        {"in the hall", Where::Hall, "阿强", server::nameMessage({"阿强", {}}), ""},
        {"seated between games", Where::Seated, " 阿强", server::nameMessage({"阿强", {}}), "阿强"},
        {"the same name again", Where::Seated, "小明", server::nameMessage({"小明", {}}), ""},
        {"taken by the partner", Where::Seated, "阿花", server::nameMessage({"阿花2", {}}),
         "阿花2"},
        {"refused", Where::Seated, "", server::nameMessage({{}, "empty"}), ""},
        {"during a game", Where::Playing, "阿强", server::nameMessage({{}, server::kNameInGame}),
         ""},
        {"during a game, the same name", Where::Playing, "小明", server::nameMessage({"小明", {}}),
         ""},
        {"the number one shows, asked for as a name", Where::Hall, "阿花2",
         server::nameMessage({"阿花2", {}}), "", "阿花"},
    };
    for (const Row& row : rows) {
        hall = Hall(config());
        clearOutput();
        hall.connect(1);
        hall.connect(2);
        send(1, helloRequest(tokenFor(1), "小明"));
        send(2, helloRequest(tokenFor(2), "阿花"));
        if (row.where != Where::Hall) {
            send(1, request(Kind::Add));
            send(2, request(Kind::Add));
        }
        if (row.where == Where::Playing) {
            startGame();
            ASSERT_TRUE(hall.desk(0).playing()) << row.what;
        }
        if (!row.before.empty()) {
            send(1, nameRequest(row.before));
        }
        const Texts got = HallDriver::send(1, nameRequest(row.name));
        clearOutput();
        const std::vector<std::string> toOne = textsOf(got, 1);
        std::string partnerSaw;
        for (const std::string& text : textsOf(got, 2)) {
            if (fieldOf(text, "opt") == "change") {
                partnerSaw = infoOf(text, 0, "name");
            }
        }
        ASSERT_FALSE(toOne.empty()) << row.what;
        EXPECT_EQ(toOne[0], row.answer) << row.what;
        EXPECT_EQ(partnerSaw, row.seatShows) << row.what;
    }
}

// The chosen name is what the others see when the person leaves a game ("run") and what a
// returning link's "resume" shows; a name a person gave up is free for another.
TEST_F(HallNamesTest, TheNameShowsInRunResumeAndIsFreedWhenChanged) {
    hall.connect(1);
    hall.connect(2);
    send(1, helloRequest(tokenFor(1), "小明"));
    send(2, helloRequest(std::string(32, 'x'), "阿花"));  // refused token: leaving is a "run"
    send(1, request(Kind::Add));
    send(2, request(Kind::Add));
    startGame();
    ASSERT_TRUE(hall.desk(0).playing());

    hall.disconnect(2, Millis(1500), out);
    std::string run;
    for (const std::string& text : take(1)) {
        if (fieldOf(text, "opt") == "run") {
            run = fieldOf(text, "name");
        }
    }
    EXPECT_EQ(run, "阿花");

    hall.disconnect(1, Millis(1600), out);
    clearOutput();
    hall.connect(3);
    const std::vector<std::string> back = send(3, helloRequest(tokenFor(1), "小明"), Millis(1700));
    ASSERT_GE(back.size(), 2u);
    EXPECT_EQ(back[0], server::helloOkMessage(true, false, {"小明", {}}));
    EXPECT_EQ(fieldOf(back[1], "opt"), "resume");
    EXPECT_EQ(fieldOf(back[1], "name"), "小明");
    EXPECT_EQ(infoOf(back[1], 0, "name"), "小明");

    hall.connect(4);
    send(4, helloRequest(tokenFor(4), "小明"));
    EXPECT_EQ(send(4, nameRequest("小明")), std::vector<std::string>{server::nameMessage({"小明2", {}})});
    hall.connect(5);
    send(5, helloRequest(tokenFor(5), "阿花"));
    EXPECT_EQ(send(5, nameRequest("阿花")), std::vector<std::string>{server::nameMessage({"阿花", {}})})
        << "the person who showed 阿花 has gone";
}

// 12,001 persons show x and x1 .. x12000: a name and a made-up name each cost a few lookups,
// not one per person, and are still the lowest free ones, also once one in the middle is freed.
TEST_F(HallNamesTest, ANameCostsAFewLookupsWhateverThePersonCount) {
    server::HallConfig made = config();
    made.namePrefix = "x";
    hall = Hall(made);
    constexpr LinkId kPersons = 12001;
    for (LinkId link = 1; link <= kPersons; ++link) {
        hall.connect(link);
        send(link, nameRequest(link == kPersons ? "x" : "x" + std::to_string(link)));
    }
    const auto costOf = [this](LinkId link, const ClientRequest& req) {
        const std::uint64_t before = hall.nameLookups();
        hall.connect(link);
        const std::vector<std::string> got = send(link, req);
        EXPECT_LE(hall.nameLookups() - before, kFewLookups);
        return got.empty() ? std::string() : got[0];
    };
    EXPECT_EQ(costOf(20000, nameRequest("x")), server::nameMessage({"x12001", {}}));
    EXPECT_EQ(fieldOf(costOf(20001, request(Kind::Add)), "name"), "x12002");
    hall.disconnect(5000, Millis(0), out);
    EXPECT_EQ(costOf(20002, nameRequest("x")), server::nameMessage({"x5000", {}}));
}

}  // namespace hall_names_test
