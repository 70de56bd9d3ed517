// The "watch" answer holds the keys of "resume" that belong to no seat, with the same values (the
// whole table, no hand, seat, name or creator), after its status and count.

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <string>

#include "server/protocol/ServerMessages.h"

namespace {

server::DeskSnapshot snapshotAt(int seat, bool playing, const std::string& code) {
    server::DeskSnapshot snap;
    snap.desk = 4;
    snap.seat = seat;
    snap.name = seat >= 0 ? "ann" : "";
    snap.playing = playing;
    snap.code = code;
    snap.creator = seat >= 0;
    snap.seats[1] = server::SnapshotSeat{"bob", true, true, true, 3, {8, 9}, true};
    if (playing) {
        snap.hand = seat >= 0 ? std::vector<int>{1, 2, 40} : std::vector<int>{};
        snap.seen = {8, 8, 9};
        snap.lastPlay = {8, 9};
        snap.lastSeat = 1;
        snap.tablePoints = 10;
        snap.teamPoints = {30, 45};
        snap.turn = 2;
        snap.leftMs = 21500;
    }
    return snap;
}

TEST(WatchMessages, TheWatchAnswerIsResumeWithoutTheSeatsOwnKeys) {
    for (const bool playing : {true, false}) {
        for (const std::string code : {"", "012345"}) {
            rapidjson::Document resume;
            rapidjson::Document watch;
            resume.Parse(server::resumeMessage(snapshotAt(2, playing, code)).c_str());
            const std::string text = server::watchMessage(snapshotAt(-1, playing, code), 3);
            watch.Parse(text.c_str());
            ASSERT_TRUE(resume.IsObject() && watch.IsObject()) << text;
            EXPECT_EQ(resume.HasMember("code"), !code.empty());
            for (const char* key : {"opt", "site", "name", "cards", "creator"}) {
                resume.RemoveMember(key);
            }
            for (const char* key : {"opt", "status", "watchers"}) {
                EXPECT_TRUE(watch.RemoveMember(key)) << key << " missing: " << text;
            }
            EXPECT_TRUE(watch == resume)
                << "playing " << playing << ", code " << code << ": " << text;
        }
    }
}

}  // namespace
