// The watch panel's model: the window pulled back by a shorter list, the one watch asked at a
// time, the refusals in words (by number and by code) and the game time as m:ss.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scenes/hall/WatchList.h"

namespace {

stMsg desksAnswer(int count) {
    stMsg answer;
    answer.opt = "desks";
    for (int i = 0; i < count; ++i) {
        st_watch_desk desk;
        desk.desk = 10 + i;
        answer.desks.push_back(desk);
    }
    return answer;
}

stMsg refusal(const std::string& reason, int retry = 0) {
    stMsg answer;
    answer.opt = "watch";
    answer.status = "refused";
    answer.reason = reason;
    answer.retry = retry;
    return answer;
}

TEST(WatchList, AShorterAnswerPullsTheWindowBack) {
    WatchList list;
    list.take(desksAnswer(40));
    EXPECT_TRUE(list.scrollBy(25));
    list.take(desksAnswer(12));
    EXPECT_EQ(list.firstRow(), 12 - WatchList::kVisibleRows);
    list.take(desksAnswer(0));
    EXPECT_EQ(list.firstRow(), 0);
    EXPECT_EQ(list.statusText(), WatchList::kEmptyText);
    EXPECT_EQ(list.deskAt(0), -1);
}

TEST(WatchList, OneWatchIsAskedAtATimeAndARefusalFreesTheNext) {
    WatchList list;
    EXPECT_EQ(list.statusText(), WatchList::kWaitingText);
    EXPECT_FALSE(list.ask(0)) << "no desk before the answer";
    list.take(desksAnswer(3));
    EXPECT_EQ(list.statusText(), "");
    EXPECT_FALSE(list.ask(3)) << "an empty slot";
    EXPECT_FALSE(list.ask(-1));
    EXPECT_TRUE(list.ask(2));
    EXPECT_FALSE(list.ask(1)) << "the first answer is awaited";
    list.refuse(refusal("desk full"));
    EXPECT_FALSE(list.waitingForWatch());
    EXPECT_TRUE(list.ask(1));
    list.clear();
    EXPECT_FALSE(list.waitingForWatch());
    EXPECT_EQ(list.message(), "");
}

TEST(WatchList, RefusalsInWords) {
    struct Row {
        const char* reason;
        int retry;
        bool byCode;
        const char* text;
    };
    const Row rows[] = {
        {"already seated", 0, false, "你已经在牌桌上"},
        {"no such desk", 0, false, "这桌的牌局已经结束"},
        {"no such desk", 0, true, "牌桌号不对或已过期"},
        {"desk full", 0, true, "这桌观战的人已满"},
        {"server full", 0, false, "观战的人太多，请稍后再试"},
        {"too many wrong codes", 42, true, "输错太多次，请42秒后再试"},
        {"too many wrong codes", 0, false, "输错太多次，请60秒后再试"},
        {"maintenance", 0, false, "无法观战：maintenance"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(WatchList::refusalText(row.reason, row.retry, row.byCode), row.text)
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
