// The texts of watching a game: the "watch" answer holds exactly the keys of "resume" that belong
// to no seat, with the same values; the list, the count, the end and the refusals as written in
// server/README.md.

#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <map>
#include <set>
#include <string>

#include "server/protocol/ServerMessages.h"

namespace {

// Each top-level key of a text with its value written back as JSON.
std::map<std::string, std::string> keysOf(const std::string& text) {
    rapidjson::Document doc;
    doc.Parse(text.data(), text.size());
    EXPECT_FALSE(doc.HasParseError()) << text;
    std::map<std::string, std::string> keys;
    if (!doc.IsObject()) {
        return keys;
    }
    for (const auto& member : doc.GetObject()) {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        member.value.Accept(writer);
        keys[member.name.GetString()] = buffer.GetString();
    }
    return keys;
}

server::DeskSnapshot snapshotAt(int seat, bool playing, const std::string& code) {
    server::DeskSnapshot snap;
    snap.desk = 4;
    snap.seat = seat;
    snap.name = seat >= 0 ? "ann" : "";
    snap.playing = playing;
    snap.code = code;
    snap.creator = seat >= 0;
    snap.seats[0] = server::SnapshotSeat{"bot0", true, false, false, 20, {8, 9}, false};
    snap.seats[1] = server::SnapshotSeat{"bob", true, true, true, 3, {}, true};
    snap.seats[2] = server::SnapshotSeat{"ann", true, false, false, 7, {}, false};
    if (playing) {
        snap.hand = seat >= 0 ? std::vector<int>{1, 2, 40} : std::vector<int>{};
        snap.seen = {8, 8, 9};
        snap.lastPlay = {8, 9};
        snap.lastSeat = 0;
        snap.tablePoints = 10;
        snap.teamPoints = {30, 45};
        snap.turn = 2;
        snap.leftMs = 21500;
    }
    return snap;
}

TEST(WatchMessages, TheWatchAnswerIsResumeWithoutTheSeatsOwnKeys) {
    struct Row {
        const char* what;
        bool playing;
        std::string code;
    };
    const Row rows[] = {
        {"a public desk playing", true, ""},
        {"a public desk between games", false, ""},
        {"a private desk playing", true, "012345"},
        {"a private desk between games", false, "012345"},
    };
    const std::set<std::string> seatOwn = {"opt", "site", "name", "cards", "creator"};
    for (const Row& row : rows) {
        const auto resume = keysOf(server::resumeMessage(snapshotAt(2, row.playing, row.code)));
        const auto watch = keysOf(server::watchMessage(snapshotAt(-1, row.playing, row.code), 3));
        std::map<std::string, std::string> expected = {
            {"opt", "\"watch\""}, {"status", "\"ok\""}, {"watchers", "\"3\""}};
        for (const auto& [key, value] : resume) {
            if (seatOwn.count(key) == 0) {
                expected[key] = value;
            }
        }
        EXPECT_EQ(watch, expected) << row.what;
        EXPECT_EQ(watch.count("code"), row.code.empty() ? 0u : 1u) << row.what;
    }
}

TEST(WatchMessages, ExactTexts) {
    server::WatchListEntry entry;
    entry.desk = 3;
    entry.teamPoints = {120, 35};
    entry.seconds = 312;
    entry.watchers = 2;
    entry.seats = {{{"小明", false}, {"bot1", true}, {"a\"b", false}, {"", false}}};
    const std::pair<std::string, const char*> rows[] = {
        {server::desksMessage({}), R"({"opt":"desks","info":[]})"},
        {server::desksMessage({entry}),
         R"({"opt":"desks","info":[{"desk":"3","p0":"120","p1":"35","seconds":"312",)"
         R"("watchers":"2","seats":[{"name":"小明","bot":"0"},{"name":"bot1","bot":"1"},)"
         R"({"name":"a\"b","bot":"0"},{"name":"","bot":"0"}]}]})"},
        {server::watchersMessage(7), R"({"opt":"watchers","count":"7"})"},
        {server::unwatchClosedMessage(), R"({"opt":"unwatch","reason":"closed"})"},
        {server::watchRefusedMessage(kWatchNoDesk),
         R"({"opt":"watch","status":"refused","reason":"no such desk"})"},
        {server::watchRefusedMessage(kJoinTooMany, 42),
         R"({"opt":"watch","status":"refused","reason":"too many wrong codes","retry":"42"})"},
        {server::sitRefusedMessage(kSitNoSeat),
         R"({"opt":"sit","status":"refused","reason":"no free seat"})"},
    };
    for (const auto& [text, expected] : rows) {
        EXPECT_EQ(text, expected);
    }
}

}  // namespace
