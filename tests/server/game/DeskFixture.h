#pragma once
// A desk under test: its output decoded as the seats' clients would see it (DeskInbox), and the
// steps most tests take (sit, ready, let time pass, start a game with computer players).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "server/game/DeskGame.h"
#include "tests/server/game/DeskInbox.h"

inline constexpr int kDesk = 7;

inline server::DeskConfig quietConfig() {
    using server::Millis;
    server::DeskConfig config;
    config.botWait = Millis(2000);
    config.botDelay = Millis(1000);
    config.turnTimeout = Millis(35000);
    config.readyTimeout = Millis(60000);
    return config;
}

class DeskFixture : public testing::Test {
protected:
    using Millis = server::Millis;
    void SetUp() override { reset(quietConfig()); }
    void reset(const server::DeskConfig& config) {
        desk = std::make_unique<server::DeskGame>(kDesk, config, 42);
        inbox.clear();
    }
    int sit(server::PersonId person, const std::string& name, Millis at = Millis(0)) {
        const int seat = desk->seatPerson(person, name, at, out);
        inbox.take(out);
        return seat;
    }
    void ready(int seat, Millis at) {
        desk->ready(seat, at, out);
        inbox.take(out);
    }
    // Runs every timer due by `at`, one call of advance each, as the server's timer does.
    void advance(Millis at) {
        while (desk->nextDeadline() && *desk->nextDeadline() <= at) {
            desk->advance(at, out);
            inbox.take(out);
        }
    }
    // One person at seat 0 with computer players, ready and dealt.
    void startWithBots() {
        ASSERT_EQ(sit(1, "ann"), 0);
        ready(0, Millis(0));
        advance(Millis(2000));
        ASSERT_TRUE(desk->playing());
    }
    // Lets the computer players move until it is `seat`'s turn; returns that turn's deadline.
    Millis untilTurnOf(int seat) {
        while (desk->playing() && desk->round()->turn() != seat) {
            advance(*desk->nextDeadline());
        }
        return desk->playing() ? *desk->nextDeadline() : Millis(-1);
    }

    std::unique_ptr<server::DeskGame> desk;
    server::DeskOutput out;
    DeskInbox inbox;
};
