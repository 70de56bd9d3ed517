// The watch panel's model in words: a refused watch's reason (by number and by code) and the game
// time as m:ss. The list's window and the one watch asked at a time are tested through the panel.

#include <gtest/gtest.h>

#include <string>

#include "models/hall/RefusalWords.h"
#include "models/hall/WatchList.h"

namespace {

TEST(WatchList, RefusalsInWords) {
    struct Row {
        const char* reason;
        int retry;
        bool byCode;
        const char* text;
    };
    const Row rows[] = {
        {"already seated", 0, false, "你已经在牌桌上了"},
        {"no such desk", 0, false, "这桌的牌局已经结束"},
        {"no such desk", 0, true, "牌桌号不对或已过期"},
        {"desk full", 0, true, "这桌观战的人已满"},
        {"server full", 0, false, "观战的人太多，请稍后再试"},
        {"too many wrong codes", 42, true, "输错太多次，请42秒后再试"},
        {"too many wrong codes", 0, false, "输错太多次，请60秒后再试"},
        {"maintenance", 0, false, "无法观战：maintenance"},
    };
    for (const Row& row : rows) {
        const auto asked =
            row.byCode ? refusalwords::Asked::WatchByCode : refusalwords::Asked::WatchByNumber;
        EXPECT_EQ(refusalwords::text(row.reason, row.retry, asked), row.text)
            << row.reason << (row.byCode ? " by code" : "");
    }
}

TEST(WatchList, GameTimeAsMinutesAndSeconds) {
    const std::pair<int, const char*> rows[] = {
        {0, "0:00"}, {9, "0:09"}, {60, "1:00"}, {312, "5:12"}, {3725, "62:05"}, {-5, "0:00"},
    };
    for (const auto& [seconds, text] : rows) {
        EXPECT_EQ(WatchList::timeText(seconds), text) << seconds;
    }
}

}  // namespace
