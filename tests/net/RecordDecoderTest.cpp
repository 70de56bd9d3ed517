// The "record" and "leaderboard" answers and the hello's "records" key: what is read, and what
// hostile answers (too many entries, wrong types, huge numbers) leave behind.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "net/MessageDecoder.h"
#include "tests/net/DecodeBothWays.h"

namespace {

// The record kinds' fields that differ from a fresh record's, on one line.
std::string describeRecord(const stMsg& m) {
    std::ostringstream out;
    out << m.opt;
    if (!m.status.empty()) out << " status=" << m.status;
    if (m.records != 0) out << " records=" << m.records;
    const st_record& r = m.record;
    if (r.games || r.wins || r.draws || r.losses || r.points || r.rating) {
        out << " figures=" << r.games << "," << r.wins << "," << r.draws << "," << r.losses
            << "," << r.points << "," << r.rating;
    }
    for (const st_record_game& g : r.last) {
        out << " {" << g.when << "," << g.result << "," << g.points << "," << g.partner << ","
            << g.opponents << "}";
    }
    if (m.place != -1) out << " place=" << m.place;
    for (const st_leader_row& row : m.top) {
        out << " [" << row.place << "," << row.name << "," << row.rating << "," << row.games
            << "]";
    }
    return out.str();
}

// `count` copies of `element` joined by `separator`.
std::string repeated(const std::string& element, int count, const char* separator) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += (i == 0 ? "" : separator) + element;
    }
    return out;
}

TEST(RecordDecoder, AnswersAndHostileAnswers) {
    const std::string game = R"({"when":"1","result":"1","points":"5","partner":"p","opponents":"o"})";
    const std::string row = R"({"place":"2","name":"n","rating":"1500","games":"1"})";
    struct Case {
        const char* what;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"hello offering records", R"({"opt":"hello","status":"ok","resume":"0","records":"1"})",
         "hello status=ok records=1"},
        {"record in full",
         R"j({"opt":"record","games":"12","wins":"7","draws":"1","losses":"4","points":"1140",)j"
         R"j("rating":"1516","last":[{"when":"1796000000","result":"2","points":"130",)j"
         R"j("partner":"小明","opponents":"player8,computer (hard)"},{"result":"-1"}]})j",
         "record figures=12,7,1,4,1140,1516 {1796000000,2,130,小明,player8,computer (hard)}"
         " {0,-1,0,,}"},
        {"leaderboard in full",
         R"({"opt":"leaderboard","top":[{"place":"1","name":"老王","rating":"1532","games":"9"},)"
         R"({"place":"1","name":"p3","rating":"1532","games":"4"}],"place":"4"})",
         "leaderboard place=4 [1,老王,1532,9] [1,p3,1532,4]"},
        {"none", R"({"opt":"leaderboard","status":"none"})", "leaderboard status=none"},
        {"other kinds ignore the record keys",
         R"({"opt":"query","records":"1","games":"3","last":[{"when":"1"}],"top":[{}],"place":"2"})",
         "query"},
        {"a record ignores the leaderboard's keys", R"({"opt":"record","top":[{}],"place":"3"})",
         "record"},
        {"a thousand games keep the first twenty",
         R"({"opt":"record","last":[)" + repeated(game, 1000, ",") + "]}",
         "record " + repeated("{1,1,5,p,o}", 20, " ")},
        {"a thousand rows keep the first fifty",
         R"({"opt":"leaderboard","top":[)" + repeated(row, 1000, ",") + "]}",
         "leaderboard " + repeated("[2,n,1500,1]", 50, " ")},
        {"elements that are not objects are skipped and not counted",
         R"({"opt":"record","last":[)" + repeated("null,1,\"x\",[]", 30, ",") + "," + game + "]}",
         "record {1,1,5,p,o}"},
        {"values that are not strings keep the defaults",
         R"({"opt":"record","games":12,"wins":null,"rating":true,"status":1,)"
         R"("last":[{"when":1796000000,"result":2,"partner":["a"],"opponents":{}}]})",
         "record {0,0,0,,}"},
        {"lists that are not arrays are empty",
         R"({"opt":"leaderboard","top":{"place":"1"},"place":[4]})", "leaderboard"},
        {"huge numbers saturate",
         R"({"opt":"record","games":"99999999999999999999","losses":"-99999999999999999999",)"
         R"("last":[{"when":"99999999999999999999999"},{"when":"-9223372036854775808"}]})",
         "record figures=2147483647,0,0,-2147483648,0,0 {9223372036854775807,0,0,,}"
         " {-9223372036854775808,0,0,,}"},
    };
    for (const Case& c : cases) {
        expectDecodedBothWays(c.what, c.text, c.expected, describeRecord);
    }
}

}  // namespace
