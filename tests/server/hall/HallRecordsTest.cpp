// The hall's side of the records: a finished game's persons named by their token's hash, a game
// with a guest (a person without an accepted hello) logged and not passed on; "record" and
// "leaderboard" passed out for a person with a token, answered "none" for one without, and kept
// to one of each a second per link.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "server/hall/Hall.h"
#include "server/hall/Sha256.h"
#include "server/protocol/ServerMessages.h"
#include "tests/server/hall/HallScript.h"

namespace hall_records_test {

using namespace hallscript;

// kToken in other cases: both cases name one token.
const std::string kMixedCaseToken = "0123456789ABCDEF0123456789abcdef";
const std::string kHash = server::toHex(server::sha256(kToken));
const std::string kOtherHash = server::toHex(server::sha256(kOtherToken));

server::HallConfig fastConfig() {
    server::HallConfig config;
    config.desk.botWait = Millis(2000);
    config.desk.botDelay = Millis(0);
    config.desk.turnTimeout = Millis(1);  // the server plays for silent persons
    config.desk.deal = 3;
    return config;
}

struct FinishRow {
    const char* what;
    std::vector<std::string> tokens;  // one link a token, seated in order; "" says no hello
    std::function<void(Hall&, Hall::Output&)> during;  // after the deal
    std::vector<std::string> hashes;  // seats' expected token hashes; empty: not passed on
    const char* logged;               // a log line that must be there, or nullptr
};

TEST(HallRecordsTest, PersonsAreNamedByTokenAndGuestsAreNotRecorded) {
    const FinishRow rows[] = {
        {"a person with a token and three computer players", {kMixedCaseToken}, nullptr,
         {kHash, "", "", ""}, nullptr},
        {"two persons with tokens", {kMixedCaseToken, kOtherToken}, nullptr, {kHash, kOtherHash, "", ""},
         nullptr},
        {"a person whose link dropped in the game, freed at its end", {kMixedCaseToken},
         [](Hall& hall, Hall::Output& out) { hall.disconnect(1, Millis(2000), out); },
         {kHash, "", "", ""}, nullptr},
        {"a guest beside a person with a token", {kMixedCaseToken, ""}, nullptr, {},
         "desk 0: game not recorded, seat 1 is a guest (no hello)"},
        {"a refused hello is a guest", {"bad"}, nullptr, {},
         "desk 0: game not recorded, seat 0 is a guest (no hello)"},
    };
    for (const FinishRow& row : rows) {
        SCOPED_TRACE(row.what);
        Hall hall(fastConfig());
        Hall::Output out;
        LinkId link = 1;
        for (const std::string& token : row.tokens) {
            hall.connect(link);
            if (!token.empty()) {
                hall.handle(link, helloRequest(token), Millis(0), out);
            }
            hall.handle(link, request(Kind::Add), Millis(0), out);
            ++link;
        }
        for (LinkId l = 1; l < link; ++l) {
            hall.handle(l, request(Kind::Ready, 0, static_cast<int>(l - 1)), Millis(0), out);
        }
        hall.advanceDesk(0, Millis(2000), out);
        ASSERT_TRUE(hall.desk(0).playing());
        if (row.during) {
            row.during(hall, out);
        }
        while (hall.hasDesk(0) && hall.desk(0).playing()) {  // left empty: gone
            hall.advanceDesk(0, *hall.deskDeadline(0), out);
        }
        if (row.hashes.empty()) {
            EXPECT_TRUE(out.finished.empty());
        } else {
            ASSERT_EQ(out.finished.size(), 1u);
            for (int seat = 0; seat < 4; ++seat) {
                EXPECT_EQ(out.finished[0].seats[seat].tokenHash, row.hashes[seat]) << seat;
                EXPECT_EQ(out.finished[0].seats[seat].person == 0, row.hashes[seat].empty());
            }
        }
        if (row.logged != nullptr) {
            EXPECT_NE(std::find(out.log.begin(), out.log.end(), row.logged), out.log.end());
        }
    }
}

struct LookupRow {
    const char* what;
    bool token;                          // the link said hello with kMixedCaseToken
    std::vector<std::pair<int, Kind>> asked;  // (ms, kind), in order
    int passedRecords;                   // Output::lookups for "record"
    int passedLeaderboards;
    int noneAnswers;                     // "status":"none" sent at once
    const char* closeLog;                // the close's log line, or nullptr for none
};

TEST(HallRecordsTest, LookupsArePassedOutForTokensAndKeptToOneASecond) {
    const LookupRow rows[] = {
        {"one of each", true, {{0, Kind::Record}, {0, Kind::Leaderboard}}, 1, 1, 0, nullptr},
        {"a second record within the second is ignored", true,
         {{0, Kind::Record}, {999, Kind::Record}, {1000, Kind::Record}}, 2, 0, 0,
         "connection 1: 1 record or leaderboard requests ignored (more than one a second)"},
        {"a burst", true,
         {{0, Kind::Leaderboard}, {1, Kind::Leaderboard}, {2, Kind::Leaderboard},
          {3, Kind::Record}, {4, Kind::Record}},
         1, 1, 0, "connection 1: 3 record or leaderboard requests ignored (more than one a second)"},
        {"no token: none, at the same rate", false,
         {{0, Kind::Record}, {10, Kind::Record}, {20, Kind::Leaderboard}, {1500, Kind::Record}}, 0,
         0, 3, "connection 1: 1 record or leaderboard requests ignored (more than one a second)"},
    };
    for (const LookupRow& row : rows) {
        SCOPED_TRACE(row.what);
        Hall hall(fastConfig());
        Hall::Output out;
        hall.connect(1);
        if (row.token) {
            hall.handle(1, helloRequest(kMixedCaseToken), Millis(0), out);
        }
        out.sends.clear();
        for (const auto& [at, kind] : row.asked) {
            hall.handle(1, request(kind), Millis(at), out);
        }
        int records = 0;
        int boards = 0;
        for (const Hall::Lookup& lookup : out.lookups) {
            EXPECT_EQ(lookup.link, 1u);
            EXPECT_EQ(lookup.tokenHash, kHash);
            (lookup.leaderboard ? boards : records) += 1;
        }
        EXPECT_EQ(records, row.passedRecords);
        EXPECT_EQ(boards, row.passedLeaderboards);
        int none = 0;
        for (const Hall::Send& send : out.sends) {
            EXPECT_TRUE(send.text == server::noRecordsMessage(server::kRecordOpt) ||
                        send.text == server::noRecordsMessage(server::kLeaderboardOpt))
                << send.text;
            ++none;
        }
        EXPECT_EQ(none, row.noneAnswers);
        out.log.clear();
        hall.disconnect(1, Millis(5000), out);
        const bool logged = row.closeLog != nullptr &&
                            std::find(out.log.begin(), out.log.end(), row.closeLog) != out.log.end();
        EXPECT_EQ(logged, row.closeLog != nullptr);
        for (const std::string& line : out.log) {
            EXPECT_EQ(line.find("ignored") != std::string::npos, row.closeLog != nullptr) << line;
        }
    }
}

}  // namespace hall_records_test
