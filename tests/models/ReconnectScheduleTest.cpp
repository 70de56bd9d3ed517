// The reconnect back-off and its status line, on a clock the test sets.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "models/common/CReconnectSchedule.h"

namespace {

using Phase = CReconnectSchedule::Phase;

// Waits double up to 30 s; at a desk in a game the server keeps, they stay at 2 s.
TEST(ReconnectSchedule, FirstAttemptOneSecondAfterTheLossThenWaitsGrowToTheirCap) {
    for (const bool gameKept : {false, true}) {
        SCOPED_TRACE(gameKept ? "game kept" : "hall");
        CReconnectSchedule schedule;
        schedule.keepGame(gameKept);
        EXPECT_EQ(schedule.phase(), Phase::Up);
        EXPECT_FALSE(schedule.attemptDue(100));
        schedule.linkLost(10);
        EXPECT_FALSE(schedule.attemptDue(10.9));
        EXPECT_TRUE(schedule.attemptDue(11));

        // Every attempt fails at once; the time from one failure to the next attempt:
        const std::vector<double> waits =
            gameKept ? std::vector<double>(7, 2) : std::vector<double>{2, 4, 8, 16, 30, 30, 30};
        double now = 11;
        for (double wait : waits) {
            schedule.attemptStarted(now);
            EXPECT_FALSE(schedule.attemptDue(now + 100)) << "no new attempt while one is under way";
            schedule.attemptFailed(now);
            EXPECT_FALSE(schedule.attemptDue(now + wait - 0.01)) << "wait " << wait;
            EXPECT_TRUE(schedule.attemptDue(now + wait)) << "wait " << wait;
            now += wait;
        }
    }
}

TEST(ReconnectSchedule, ANewOutageStartsTheBackOffAfresh) {
    CReconnectSchedule schedule;
    schedule.linkLost(0);
    for (double now : {1.0, 3.0, 7.0}) {
        schedule.attemptStarted(now);
        schedule.attemptFailed(now);
    }
    schedule.attemptStarted(15);
    schedule.linkUp();
    EXPECT_EQ(schedule.phase(), Phase::Up);
    schedule.linkLost(50);
    EXPECT_TRUE(schedule.attemptDue(51));
    schedule.attemptStarted(51);
    schedule.attemptFailed(51);
    EXPECT_TRUE(schedule.attemptDue(53)) << "back to a 2 s wait";
}

TEST(ReconnectSchedule, AnAttemptTimesOutAfterFiveSeconds) {
    CReconnectSchedule schedule;
    schedule.linkLost(0);
    schedule.attemptStarted(1);
    EXPECT_FALSE(schedule.attemptTimedOut(5.9));
    EXPECT_TRUE(schedule.attemptTimedOut(6));
    schedule.attemptFailed(6);
    EXPECT_FALSE(schedule.attemptTimedOut(100)) << "only an attempt under way times out";

    // While a game is kept: after 2 s, and the next attempt at once, 2 s after this one began.
    schedule.keepGame(true);
    schedule.attemptStarted(10);
    EXPECT_FALSE(schedule.attemptTimedOut(11.9));
    EXPECT_TRUE(schedule.attemptTimedOut(12));
    schedule.attemptFailed(12);
    EXPECT_TRUE(schedule.attemptDue(12));
    EXPECT_EQ(schedule.statusText(12), "与服务器断开连接，牌局为你保留，正在重新连接…");
}

TEST(ReconnectSchedule, StatusLineCountsDownAndSaysWhatHappened) {
    CReconnectSchedule schedule;
    EXPECT_EQ(schedule.statusText(0), "");
    schedule.linkLost(0);
    struct Row {
        double now;
        int secondsLeft;
        const char* text;
    };
    const Row waiting[] = {
        {0, 1, "与服务器断开连接，1 秒后重新连接"},
        {0.95, 1, "与服务器断开连接，1 秒后重新连接"},
    };
    for (const Row& row : waiting) {
        EXPECT_EQ(schedule.secondsLeft(row.now), row.secondsLeft) << row.now;
        EXPECT_EQ(schedule.statusText(row.now), row.text) << row.now;
    }
    schedule.attemptStarted(1);
    EXPECT_EQ(schedule.secondsLeft(1.5), 0);
    EXPECT_EQ(schedule.statusText(1.5), "与服务器断开连接，正在重新连接…");
    schedule.attemptFailed(2);
    const Row failed[] = {
        {2, 2, "与服务器断开连接，连接失败，2 秒后重新连接"},
        {2.5, 2, "与服务器断开连接，连接失败，2 秒后重新连接"},
        {3.2, 1, "与服务器断开连接，连接失败，1 秒后重新连接"},
        {9, 0, "与服务器断开连接，连接失败，0 秒后重新连接"},
    };
    for (const Row& row : failed) {
        EXPECT_EQ(schedule.secondsLeft(row.now), row.secondsLeft) << row.now;
        EXPECT_EQ(schedule.statusText(row.now), row.text) << row.now;
    }
}

}  // namespace
