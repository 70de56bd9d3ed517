// The reconnect back-off and its status line, on a clock the test sets.

#include <gtest/gtest.h>

#include <string>

#include "scenes/common/CReconnectSchedule.h"

namespace {

using Phase = CReconnectSchedule::Phase;

TEST(ReconnectSchedule, FirstAttemptOneSecondAfterTheLossThenWaitsDoubleUpToThirty) {
    CReconnectSchedule schedule;
    EXPECT_EQ(schedule.phase(), Phase::Up);
    EXPECT_FALSE(schedule.attemptDue(100));
    schedule.linkLost(10);
    EXPECT_FALSE(schedule.attemptDue(10.9));
    EXPECT_TRUE(schedule.attemptDue(11));

    // Every attempt fails at once; the time from one failure to the next attempt:
    const double waits[] = {2, 4, 8, 16, 30, 30, 30};
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

// At a desk in a game the server keeps: an attempt starts at most 2 s after the one before,
// however that one failed, and one left unanswered is given up after 2 s.
TEST(ReconnectSchedule, WhileAGameIsKeptAnAttemptStartsEveryTwoSeconds) {
    struct Row {
        const char* how;
        double started, failed, nextDue;
    };
    const Row rows[] = {
        {"refused at once", 1, 1, 3},
        {"closed before its first record", 3, 4.5, 5},
        {"left unanswered", 5, 7, 7},
        {"refused again", 7, 7, 9},
        {"and again", 9, 9, 11},
        {"the wait has not grown", 11, 11.2, 13},
    };
    const std::string kept = "与服务器断开连接，牌局为你保留，正在重新连接…";
    CReconnectSchedule schedule;
    schedule.keepGame(true);
    schedule.linkLost(0);
    EXPECT_EQ(schedule.statusText(0), kept);
    EXPECT_FALSE(schedule.attemptDue(0.99));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.how);
        EXPECT_TRUE(schedule.attemptDue(row.started));
        schedule.attemptStarted(row.started);
        EXPECT_EQ(schedule.statusText(row.started), kept);
        EXPECT_EQ(schedule.attemptTimedOut(row.failed), row.failed - row.started >= 2);
        EXPECT_FALSE(schedule.attemptTimedOut(row.started + 1.99));
        schedule.attemptFailed(row.failed);
        EXPECT_EQ(schedule.statusText(row.failed), kept);
        if (row.nextDue > row.failed) {
            EXPECT_FALSE(schedule.attemptDue(row.nextDue - 0.01));
        }
        EXPECT_TRUE(schedule.attemptDue(row.nextDue));
    }
}

TEST(ReconnectSchedule, AnAttemptTimesOutAfterFiveSeconds) {
    CReconnectSchedule schedule;
    schedule.linkLost(0);
    schedule.attemptStarted(1);
    EXPECT_FALSE(schedule.attemptTimedOut(5.9));
    EXPECT_TRUE(schedule.attemptTimedOut(6));
    schedule.attemptFailed(6);
    EXPECT_FALSE(schedule.attemptTimedOut(100)) << "only an attempt under way times out";
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
