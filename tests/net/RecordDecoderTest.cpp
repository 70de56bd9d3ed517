// The "record" and "leaderboard" answers and the hello's "records" key: what is read, and what
// hostile answers (too many entries, wrong types, huge numbers) leave behind.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "net/MessageDecoder.h"

namespace {

// The record kinds' fields on one line, so a failed comparison shows which one differs.
std::string describe(const stMsg& m) {
    std::ostringstream out;
    out << m.opt << " status=" << m.status << " records=" << m.records;
    const st_record& r = m.record;
    out << " figures=" << r.games << "," << r.wins << "," << r.draws << "," << r.losses << ","
        << r.points << "," << r.rating << " last=" << r.last.size();
    for (const st_record_game& g : r.last) {
        out << " {" << g.when << "," << g.result << "," << g.points << "," << g.partner << ","
            << g.opponents << "}";
    }
    out << " place=" << m.place << " top=" << m.top.size();
    for (const st_leader_row& row : m.top) {
        out << " [" << row.place << "," << row.name << "," << row.rating << "," << row.games
            << "]";
    }
    return out.str();
}

std::string decoded(const std::string& text) {
    stMsg m;
    EXPECT_EQ(decodeMessage(text, m), DecodeStatus::Ok) << text;
    std::string buffer = text;
    stMsg inPlace;
    EXPECT_EQ(decodeMessageInPlace(buffer, inPlace), DecodeStatus::Ok) << text;
    EXPECT_EQ(describe(inPlace), describe(m)) << "in place: " << text;
    return describe(m);
}

// `count` copies of `element`, comma-separated.
std::string repeated(const std::string& element, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += (i == 0 ? "" : ",") + element;
    }
    return out;
}

TEST(RecordDecoder, AnswersReadTheirKeys) {
    struct Case {
        const char* what;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"fresh record", "{}", " status= records=0 figures=0,0,0,0,0,0 last=0 place=-1 top=0"},
        {"hello offering records", R"({"opt":"hello","status":"ok","resume":"0","records":"1"})",
         "hello status=ok records=1 figures=0,0,0,0,0,0 last=0 place=-1 top=0"},
        {"record in full",
         R"({"opt":"record","games":"12","wins":"7","draws":"1","losses":"4","points":"1140",)"
         R"("rating":"1516","last":[{"when":"1796000000","result":"2","points":"130",)"
         R"j("partner":"player3","opponents":"player8,computer (hard)"},)j"
         R"({"when":"1795999000","result":"-1","points":"0","partner":"小明","opponents":"a,b"}]})",
         "record status= records=0 figures=12,7,1,4,1140,1516 last=2"
         " {1796000000,2,130,player3,player8,computer (hard)} {1795999000,-1,0,小明,a,b}"
         " place=-1 top=0"},
        {"record none", R"({"opt":"record","status":"none"})",
         "record status=none records=0 figures=0,0,0,0,0,0 last=0 place=-1 top=0"},
        {"leaderboard in full",
         R"({"opt":"leaderboard","top":[{"place":"1","name":"player3","rating":"1532","games":"9"},)"
         R"({"place":"1","name":"老王","rating":"1532","games":"4"}],"place":"4"})",
         "leaderboard status= records=0 figures=0,0,0,0,0,0 last=0 place=4 top=2"
         " [1,player3,1532,9] [1,老王,1532,4]"},
        {"leaderboard unrated", R"({"opt":"leaderboard","top":[],"place":"-1"})",
         "leaderboard status= records=0 figures=0,0,0,0,0,0 last=0 place=-1 top=0"},
        {"leaderboard none", R"({"opt":"leaderboard","status":"none"})",
         "leaderboard status=none records=0 figures=0,0,0,0,0,0 last=0 place=-1 top=0"},
        {"other kinds ignore the record keys",
         R"({"opt":"query","records":"1","games":"3","last":[{"when":"1"}],"top":[{}],"place":"2"})",
         "query status= records=0 figures=0,0,0,0,0,0 last=0 place=-1 top=0"},
        {"record ignores the leaderboard's keys and the reverse",
         R"({"opt":"record","top":[{"place":"1"}],"place":"3"})",
         "record status= records=0 figures=0,0,0,0,0,0 last=0 place=-1 top=0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decoded(c.text), c.expected) << c.what;
    }
}

TEST(RecordDecoder, HostileAnswersAreBoundedAndDefaulted) {
    const std::string game = R"({"when":"1","result":"1","points":"5","partner":"p","opponents":"o"})";
    const std::string row = R"({"place":"2","name":"n","rating":"1500","games":"1"})";
    const std::string game20 = " {1,1,5,p,o}";
    std::string twentyGames;
    for (int i = 0; i < 20; ++i) twentyGames += game20;
    std::string fiftyRows;
    for (int i = 0; i < 50; ++i) fiftyRows += " [2,n,1500,1]";
    struct Case {
        const char* what;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"a thousand games keep the first twenty",
         R"({"opt":"record","last":[)" + repeated(game, 1000) + "]}",
         "record status= records=0 figures=0,0,0,0,0,0 last=20" + twentyGames +
             " place=-1 top=0"},
        {"a thousand rows keep the first fifty",
         R"({"opt":"leaderboard","top":[)" + repeated(row, 1000) + "]}",
         "leaderboard status= records=0 figures=0,0,0,0,0,0 last=0 place=-1 top=50" + fiftyRows},
        {"elements that are not objects are skipped and not counted",
         R"({"opt":"record","last":[)" + repeated("null,1,\"x\",[]", 30) + "," + game + "]}",
         "record status= records=0 figures=0,0,0,0,0,0 last=1 {1,1,5,p,o} place=-1 top=0"},
        {"values that are not strings keep the defaults",
         R"({"opt":"record","games":12,"wins":null,"rating":true,"status":1,)"
         R"("last":[{"when":1796000000,"result":2,"partner":["a"],"opponents":{}}]})",
         "record status= records=0 figures=0,0,0,0,0,0 last=1 {0,0,0,,} place=-1 top=0"},
        {"lists that are not arrays are empty",
         R"({"opt":"leaderboard","top":{"place":"1"},"place":[4]})",
         "leaderboard status= records=0 figures=0,0,0,0,0,0 last=0 place=-1 top=0"},
        {"a leaderboard whose top is a string", R"({"opt":"leaderboard","top":"all"})",
         "leaderboard status= records=0 figures=0,0,0,0,0,0 last=0 place=-1 top=0"},
        {"huge numbers saturate",
         R"({"opt":"record","games":"99999999999999999999","losses":"-99999999999999999999",)"
         R"("last":[{"when":"99999999999999999999999"},{"when":"-9223372036854775808"},)"
         R"({"when":"9223372036854775807"},{"when":"-99999999999999999999999"}]})",
         "record status= records=0 figures=2147483647,0,0,-2147483648,0,0 last=4"
         " {9223372036854775807,0,0,,} {-9223372036854775808,0,0,,}"
         " {9223372036854775807,0,0,,} {-9223372036854775808,0,0,,} place=-1 top=0"},
        {"hello records read like atoi", R"({"opt":"hello","status":"ok","records":"1x"})",
         "hello status=ok records=1 figures=0,0,0,0,0,0 last=0 place=-1 top=0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decoded(c.text), c.expected) << c.what;
    }
}

}  // namespace
