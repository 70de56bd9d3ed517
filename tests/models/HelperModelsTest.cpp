// The desk's pure models: the hint list's order and cycle, the card tracker's count, and the hand
// (what is raised, what a play takes out).

#include <gtest/gtest.h>

#include "models/desk/CardTracker.h"
#include "models/desk/HandModel.h"
#include "models/desk/HintCycle.h"

namespace {

using Codes = std::vector<int>;
using Plays = std::vector<Codes>;

}  // namespace

// ---- HintCycle ----------------------------------------------------------------------------------

TEST(HintOrder, OrdinaryHandsFirstThenLowerValueThenFewerCards) {
    struct Case {
        const char* name;
        Codes hand;
        Codes lastPlay;
        Plays expected;
    };
    const Case cases[] = {
        // Singles over the three of suit 1 (9), then the sevens' bomb last although its value
        // (27) equals the single 27's.
        {"singles, then the bomb",
         {8, 12, 13, 20, 24, 25, 26, 27},
         {9},
         {{12}, {13}, {20}, {24}, {25}, {26}, {27}, {24, 25, 26, 27}}},
        // Leading: the single 9 and the pair 8, 9 share the value 9; the single comes first.
        {"leading, one card before two of one value", {8, 9, 12}, {}, {{8}, {9}, {8, 9}, {12}}},
        // A bomb of sixes to beat: the fours' bomb is as long and lower, so only the same cards
        // 8, 8, 8 beat it.
        {"bombs and same cards by value",
         {8, 8, 8, 12, 13, 14, 15, 16},
         {20, 21, 22, 23},
         {{8, 8, 8}}},
        {"nothing beats the special card", {0, 1, 52, 53}, {19}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(hintOrder(c.hand, c.lastPlay), c.expected);
    }
}

TEST(HintCycle, PressesWalkTheListAndStartAgain) {
    HintCycle cycle;
    const Codes hand = {8, 9, 12};
    Plays given;
    for (int press = 0; press < 6; ++press) {
        given.push_back(cycle.next(hand, {}));
    }
    EXPECT_EQ(given, (Plays{{8}, {9}, {8, 9}, {12}, {8}, {9}}));
}

TEST(HintCycle, TheListIsMadeOnceUntilReset) {
    HintCycle cycle;
    EXPECT_FALSE(cycle.built());
    EXPECT_EQ(cycle.next({8, 12}, {}), (Codes{8}));
    EXPECT_TRUE(cycle.built());
    // The hand given later is not looked at: the turn's list stands.
    EXPECT_EQ(cycle.next({40}, {}), (Codes{12}));
    cycle.reset();
    EXPECT_FALSE(cycle.built());
    EXPECT_EQ(cycle.next({40}, {}), (Codes{40}));
}

TEST(HintCycle, NothingToBeatGivesNothingAtEveryPress) {
    HintCycle cycle;
    EXPECT_TRUE(cycle.next({8, 12}, {19}).empty());
    EXPECT_TRUE(cycle.next({8, 12}, {19}).empty());
    EXPECT_TRUE(cycle.built());
}

// ---- CardTracker --------------------------------------------------------------------------------

TEST(CardTracker, ColumnsRunFromThreeToTwoThenTheJokers) {
    struct Case {
        int code;
        int column;
    };
    const Case cases[] = {{8, 0},  {11, 0}, {12, 1},  {48, 10}, {51, 10}, {0, 11},  {3, 11},
                          {4, 12}, {7, 12}, {52, 13}, {53, 14}, {-1, -1}, {54, -1}, {19, 2}};
    for (const Case& c : cases) {
        EXPECT_EQ(CardTracker::columnOf(c.code), c.column) << "code " << c.code;
    }
    int total = 0;
    for (int column = 0; column < CardTracker::kColumns; ++column) {
        total += CardTracker::copiesIn(column);
    }
    EXPECT_EQ(total, 108);
}

TEST(CardTracker, CountsWhatTheDealAndTheOtherSeatsShowed) {
    CardTracker tracker;
    EXPECT_EQ(tracker.unseen(0), 8);
    EXPECT_EQ(tracker.unseen(14), 2);

    tracker.deal({8, 8, 9, 53});
    EXPECT_EQ(tracker.unseen(0), 5);
    EXPECT_EQ(tracker.unseen(14), 1);
    tracker.shown({10, 53, 4});
    EXPECT_EQ(tracker.unseen(0), 4);
    EXPECT_EQ(tracker.unseen(14), 0);
    EXPECT_EQ(tracker.unseen(12), 7);

    // More copies than the decks hold, and codes that are no card, change nothing.
    tracker.shown({53, 53, 54, -3});
    EXPECT_EQ(tracker.unseen(14), 0);

    // A new deal starts again from the full decks.
    tracker.deal({12});
    EXPECT_EQ(tracker.unseen(0), 8);
    EXPECT_EQ(tracker.unseen(1), 7);
    EXPECT_EQ(tracker.unseen(14), 2);
}

// ---- HandModel ----------------------------------------------------------------------------------

TEST(HandModel, TouchesRaiseAndLowerAndAPlayTakesOnlyWhatWasSent) {
    using Edit = std::function<void(HandModel&)>;
    struct Case {
        const char* name;
        Codes deal;
        Edit edit;
        Codes hand;    // after the edit
        Codes raised;  // after the edit
        Codes sent;    // what a play of the raised cards then sends; empty when none
        bool sendTakes;
        Codes left;  // the hand after that play
    };
    const auto press = [](std::vector<std::size_t> cards) {
        return [cards](HandModel& hand) {
            for (std::size_t card : cards) hand.press(card);
        };
    };
    const Case cases[] = {
        {"a touch raises", {12, 8, 20}, press({1}), {8, 12, 20}, {12}, {12}, true, {8, 20}},
        {"a second touch lowers",
         {8, 12, 20},
         press({1, 2, 1}),
         {8, 12, 20},
         {20},
         {20},
         true,
         {8, 12}},
        {"a drag turns each card it enters once",
         {8, 12, 16, 20, 24},
         [](HandModel& hand) {
             hand.press(1);
             for (std::size_t card : {1u, 2u, 2u, 3u, 3u, 3u}) hand.slideTo(card);
         },
         {8, 12, 16, 20, 24},
         {12, 16, 20},
         {12, 16, 20},
         true,
         {8, 24}},
        {"the play sends in hand order",
         {9, 9, 30},
         press({2, 1}),
         {9, 9, 30},
         {9, 30},
         {9, 30},
         true,
         {9}},
        {"a refused send leaves the hand as it was",
         {8, 12, 20},
         press({0, 2}),
         {8, 12, 20},
         {8, 20},
         {8, 20},
         false,
         {8, 12, 20}},
        {"the hint raises resting copies only",
         {8, 8, 8},
         [](HandModel& hand) {
             hand.press(0);
             hand.raise({8, 8});
         },
         {8, 8, 8},
         {8, 8, 8},
         {8, 8, 8},
         true,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HandModel hand;
        hand.deal(c.deal);
        c.edit(hand);
        EXPECT_EQ(hand.codes(), c.hand);
        EXPECT_EQ(hand.raisedCodes(), c.raised);
        Codes sent;
        const Codes taken = hand.playRaised([&](const Codes& codes) {
            sent = codes;
            return c.sendTakes;
        });
        EXPECT_EQ(sent, c.sent);
        EXPECT_EQ(taken, c.sendTakes ? c.sent : Codes{});
        EXPECT_EQ(hand.codes(), c.left);
        EXPECT_EQ(hand.raisedCodes(), c.sendTakes ? Codes{} : c.raised);
    }
}

TEST(HandModel, AnUnconfirmedPlayComesBackInPlaceAndTheEchoedCardsGo) {
    HandModel hand;
    hand.hold({4, 9, 30});
    hand.press(0);
    const unsigned touched = hand.cards()[0].id;
    ASSERT_EQ(hand.lastTouched(), touched);
    // The server played 9 for the seat instead of the 20, 20 sent.
    hand.putBack({20, 20});
    hand.takeOut({9});
    EXPECT_EQ(hand.codes(), (Codes{4, 20, 20, 30}));
    EXPECT_TRUE(hand.raisedCodes().empty());
    EXPECT_EQ(hand.cards()[0].id, touched);
    // The card touched last leaves with the lead the countdown sends.
    EXPECT_EQ(hand.playFirst([](const Codes& codes) { return codes == Codes{4}; }), 4);
    EXPECT_FALSE(hand.lastTouched());
    EXPECT_FALSE(hand.playFirst([](const Codes&) { return false; }));
    EXPECT_EQ(hand.codes(), (Codes{20, 20, 30}));

    // Of two equal codes the play takes the raised card itself: the resting one is the one kept.
    hand.hold({9, 9});
    hand.press(1);
    const unsigned resting = hand.cards()[0].id;
    EXPECT_EQ(hand.playRaised([](const Codes&) { return true; }), Codes{9});
    ASSERT_EQ(hand.size(), 1u);
    EXPECT_EQ(hand.cards()[0].id, resting);
}
