// The "desks" answer, the refused "watch" and the hello's "watch" key: what is read, and what
// hostile answers (missing keys, wrong types, too many desks) leave behind.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "net/MessageDecoder.h"
#include "tests/net/DecodeBothWays.h"

namespace {

// The watching kinds' fields that differ from a fresh record's, on one line; a desk as
// [number p0:p1 seconds watchers name(b) name ...], "(b)" after a computer player's name.
std::string describe(const stMsg& m) {
    std::ostringstream out;
    out << m.opt;
    if (!m.status.empty()) out << " status=" << m.status;
    if (!m.reason.empty()) out << " reason=" << m.reason;
    if (m.retry != 0) out << " retry=" << m.retry;
    if (m.watch != 0) out << " watch=" << m.watch;
    for (const st_watch_desk& d : m.desks) {
        out << " [" << d.desk << " " << d.p0 << ":" << d.p1 << " " << d.seconds << " "
            << d.watchers;
        for (std::size_t k = 0; k < d.names.size(); ++k) {
            out << " " << d.names[k] << (d.bots[k] != 0 ? "(b)" : "");
        }
        out << "]";
    }
    return out.str();
}

std::string seats(const char* a, const char* b, const char* c, const char* d, int botAt = -1) {
    const char* names[] = {a, b, c, d};
    std::string out = "[";
    for (int k = 0; k < 4; ++k) {
        out += std::string(k == 0 ? "" : ",") + R"({"name":")" + names[k] + R"(","bot":")" +
               (k == botAt ? "1" : "0") + R"("})";
    }
    return out + "]";
}

std::string entry(int desk, const std::string& seatList = seats("a", "b", "c", "d")) {
    return R"({"desk":")" + std::to_string(desk) +
           R"(","p0":"120","p1":"35","seconds":"312","watchers":"2","seats":)" + seatList + "}";
}

std::string desks(const std::string& entries) {
    return R"({"opt":"desks","info":[)" + entries + "]}";
}

TEST(WatchDecoder, AnswersAndHostileAnswers) {
    std::string hundredAndOne;
    for (int i = 1; i <= 101; ++i) {
        hundredAndOne += (i == 1 ? "" : ",") + entry(i);
    }
    std::string hundredShown;
    for (int i = 1; i <= 100; ++i) {
        hundredShown += " [" + std::to_string(i) + " 120:35 312 2 a b c d]";
    }
    struct Case {
        const char* what;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"hello offering watching", R"({"opt":"hello","status":"ok","private":"1","watch":"1"})",
         "hello status=ok watch=1"},
        {"a hello without the key offers nothing", R"({"opt":"hello","status":"ok"})",
         "hello status=ok"},
        {"two desks, a computer player marked",
         desks(entry(3, seats("小明", "电脑", "小红", "阿强", 1)) + "," + entry(9)),
         "desks [3 120:35 312 2 小明 电脑(b) 小红 阿强] [9 120:35 312 2 a b c d]"},
        {"an empty list", desks(""), "desks"},
        {"a refused watch with the wrong-code wait",
         R"({"opt":"watch","status":"refused","reason":"too many wrong codes","retry":"42"})",
         "watch status=refused reason=too many wrong codes retry=42"},
        {"a desk without its number is skipped",
         desks(R"({"p0":"1","seats":)" + seats("a", "b", "c", "d") + "}," + entry(4)),
         "desks [4 120:35 312 2 a b c d]"},
        {"a number that is not a string is skipped",
         desks(R"({"desk":5,"seats":)" + seats("a", "b", "c", "d") + "}," + entry(4)),
         "desks [4 120:35 312 2 a b c d]"},
        {"three seats, no seats, or seats that are not objects are skipped",
         desks(R"({"desk":"1","seats":[{},{},{}]},{"desk":"2"},{"desk":"3","seats":{}},)"
               R"({"desk":"6","seats":[{},{},{},1]},)" +
               entry(4)),
         "desks [4 120:35 312 2 a b c d]"},
        {"other missing or mistyped keys keep their defaults",
         desks(R"({"desk":"7","p0":120,"seconds":null,"seats":[{"name":1,"bot":1},{},{},{}]})"),
         "desks [7 : 0 0    ]"},
        {"elements that are not objects are skipped", desks("1,null,\"x\",[]," + entry(8)),
         "desks [8 120:35 312 2 a b c d]"},
        {"an info that is not an array is empty", R"({"opt":"desks","info":{"desk":"1"}})",
         "desks"},
        {"a hundred and one desks keep the first hundred", desks(hundredAndOne),
         "desks" + hundredShown},
        {"other kinds ignore the list", R"({"opt":"query","info":[)" + entry(1) + "]}", "query"},
    };
    for (const Case& c : cases) {
        expectDecodedBothWays(c.what, c.text, c.expected, describe);
    }
}

}  // namespace
