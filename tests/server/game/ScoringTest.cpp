#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "server/game/Scoring.h"

namespace {

TEST(Scoring, CardPointsByRank) {
    struct Row {
        int code;
        int points;
    };
    const Row rows[] = {
        {16, 5}, {19, 5}, {36, 10}, {39, 10}, {48, 10}, {51, 10}, {0, 0},
        {15, 0}, {20, 0}, {35, 0},  {40, 0},  {52, 0},  {53, 0},  {-1, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(server::cardPoints(row.code), row.points) << "code " << row.code;
    }
}

TEST(Scoring, TwoDecksHoldTwoHundredPoints) {
    std::vector<int> pack;
    for (int deck = 0; deck < 2; ++deck) {
        for (int code = 0; code < 54; ++code) {
            pack.push_back(code);
        }
    }
    EXPECT_EQ(server::pointsOf(pack), server::kPointsPerTwoDecks);
}

TEST(Scoring, ResultsFromFinishingOrderAndPoints) {
    struct Row {
        std::vector<int> order;
        std::array<int, 2> points;
        std::array<int, 4> results;
    };
    const Row rows[] = {
        // A clean sweep wins double whatever the points.
        {{0, 2}, {10, 190}, {2, -2, 2, -2}},
        {{3, 1}, {200, 0}, {-2, 2, -2, 2}},
        // Otherwise the points decide, for or against the team that finished.
        {{0, 1, 2}, {120, 80}, {1, -1, 1, -1}},
        {{1, 0, 2}, {90, 110}, {-1, 1, -1, 1}},
        {{2, 3, 1}, {150, 50}, {1, -1, 1, -1}},
        {{0, 1, 2}, {100, 100}, {0, 0, 0, 0}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(server::gameResults(row.order, row.points), row.results)
            << "first out " << row.order.front() << ", points " << row.points[0] << "/"
            << row.points[1];
    }
}

}  // namespace
