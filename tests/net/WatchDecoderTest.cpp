// Watching's messages: "desks", the answers to "watch" and "watchers"; what is read, and what
// hostile lists (missing keys, wrong types, too many desks) leave behind. The hello's "watch" is
// read as the hall shows 观战 (WatchPanelTest).

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "net/MessageDecoder.h"
#include "tests/net/DecodeBothWays.h"
#include "tests/net/DesksText.h"

namespace {

// The watching fields that differ from a fresh record's, on one line; a desk as
// [number p0:p1 seconds watchers name(b) name ...], "(b)" after a computer player's name.
std::string describeWatch(const stMsg& m) {
    std::ostringstream out;
    out << m.opt;
    if (!m.status.empty()) out << " status=" << m.status;
    if (!m.reason.empty()) out << " reason=" << m.reason;
    if (m.retry != 0) out << " retry=" << m.retry;
    if (m.desk != -1) out << " desk=" << m.desk;
    if (m.watchers != 0) out << " watchers=" << m.watchers;
    if (!m.code.empty()) out << " code=" << m.code;
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

TEST(WatchDecoder, AnswersAndHostileAnswers) {
    const std::string abcd = " 120:35 312 2 a b c d]";
    std::string hundredShown;
    for (int desk = 1; desk <= 100; ++desk) {
        hundredShown += " [" + std::to_string(desk) + abcd;
    }
    const std::string seats = R"(,"seats":[{},{},{},{}]})";
    const std::pair<std::string, std::string> cases[] = {
        {desksText(deskEntry(3, {"小明", "电脑", "小红", "阿强"}, 1) + "," + deskEntry(9)),
         "desks [3 120:35 312 2 小明 电脑(b) 小红 阿强] [9" + abcd},
        {desksText(""), "desks"},
        {R"({"opt":"watch","status":"refused","reason":"too many wrong codes","retry":"42"})",
         "watch status=refused reason=too many wrong codes retry=42"},
        {R"({"opt":"watch","status":"ok","desk":"3","watchers":"2","playing":"1","code":"031415"})",
         "watch status=ok desk=3 watchers=2 code=031415"},
        {R"({"opt":"watchers","count":"17","watchers":"3"})", "watchers watchers=17"},
        // Entries without a number as a string or four seats as objects are skipped, and so are
        // elements that are not objects.
        {desksText(R"({"p0":"1")" + seats + R"(,{"desk":5)" + seats + R"(,{"desk":"2"},)" +
                   R"({"desk":"1","seats":[{},{},{}]},{"desk":"3","seats":{}},)" +
                   R"({"desk":"6","seats":[{},{},{},1]},1,null,"x",[],)" + deskEntry(4)),
         "desks [4" + abcd},
        {desksText(R"({"desk":"7","p0":120,"seconds":null,"seats":[{"name":1,"bot":1},{},{},{}]})"),
         "desks [7 : 0 0    ]"},
        {R"({"opt":"desks","info":{"desk":"1"}})", "desks"},
        {desksText(1, 101), "desks" + hundredShown},
        {R"({"opt":"query","info":[)" + deskEntry(1) + "]}", "query"},
    };
    for (const auto& [text, expected] : cases) {
        expectDecodedBothWays(text.c_str(), text, expected, describeWatch);
    }
}

}  // namespace
