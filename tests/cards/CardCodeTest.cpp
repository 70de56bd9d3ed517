#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "cards/CardCode.h"

namespace {

using Codes = std::vector<int>;

TEST(CardCode, RankAndSuitSplitTheCode) {
    struct Case {
        int code, rank, suit;
    };
    const Case cases[] = {{0, 0, 0},   {3, 0, 3},   {4, 1, 0},   {19, 4, 3},
                          {49, 12, 1}, {51, 12, 3}, {52, 13, 0}, {53, 13, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(rankIndex(c.code), c.rank) << c.code;
        EXPECT_EQ(suitIndex(c.code), c.suit) << c.code;
        EXPECT_EQ(cardCode(c.rank, c.suit), c.code) << c.code;
    }
}

TEST(CardCode, JokersAndValidRange) {
    for (int code = -2; code <= 56; ++code) {
        EXPECT_EQ(isJoker(code), code == 52 || code == 53) << code;
        EXPECT_EQ(isValidCode(code), code >= 0 && code <= 53) << code;
    }
}

TEST(CardCode, ParseCardListReadsEveryForm) {
    struct Case {
        const char* text;
        Codes codes;
    };
    const Case cases[] = {
        {"8,9,10", {8, 9, 10}},
        {"8,9,10,", {8, 9, 10}},
        {",8,,9,10", {8, 9, 10}},
        {"", {}},
        {",", {}},
        {",,,", {}},
        {"7", {7}},
        {"53,0,19", {53, 0, 19}},
        {" 12, \t5", {12, 5}},
        {"+4,-3", {4, -3}},
        {"x,5", {0, 5}},
        {" ,-", {0, 0}},
        {"12abc,7 8", {12, 7}},
        {"1 2", {1}},
        {"007", {7}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseCardList(c.text), c.codes) << '"' << c.text << '"';
    }
}

TEST(CardCode, ParseCardListSaturatesHugeNumbers) {
    const std::string digits(400, '9');
    EXPECT_EQ(parseCardList(digits + ",1"), (Codes{INT_MAX, 1}));
    EXPECT_EQ(parseCardList("-" + digits), (Codes{INT_MIN}));
    EXPECT_EQ(parseCardList("2147483647,-2147483648"), (Codes{INT_MAX, INT_MIN}));
    EXPECT_EQ(parseCardList("2147483648"), (Codes{INT_MAX}));
}

TEST(CardCode, ParseGameCardListKeepsAtMostTheGamesCards) {
    struct Case {
        std::size_t listed;
        std::size_t kept;
    };
    for (const Case c : {Case{0, 0}, Case{107, 107}, Case{108, 108}, Case{109, 108},
                         Case{5000, 108}}) {
        std::string text;
        Codes first;
        for (std::size_t i = 0; i < c.listed; ++i) {
            text += std::to_string(i % 54) + ",";
            if (i < c.kept) {
                first.push_back(static_cast<int>(i % 54));
            }
        }
        EXPECT_EQ(parseGameCardList(text), first) << c.listed << " listed";
    }
}

TEST(CardCode, FormatCardListAppendsEachCodeAndAComma) {
    struct Case {
        Codes codes;
        const char* text;
    };
    const Case cases[] = {{{8, 9, 10}, "8,9,10,"}, {{}, ""}, {{0}, "0,"}, {{53, 53}, "53,53,"}};
    for (const Case& c : cases) {
        std::string out = "cards:";
        formatCardList(c.codes, out);
        EXPECT_EQ(out, std::string("cards:") + c.text);
    }
}

TEST(CardCode, FormattedListReadsBack) {
    const Codes codes{0, 19, 19, 52, 53, 7, 48};
    std::string text;
    formatCardList(codes, text);
    EXPECT_EQ(parseCardList(text), codes);
}

TEST(CardCode, SortHandOrdersByCode) {
    Codes hand{53, 0, 8, 4, 52, 9, 8};
    sortHand(hand);
    EXPECT_EQ(hand, (Codes{0, 4, 8, 8, 9, 52, 53}));
    Codes none;
    sortHand(none);
    EXPECT_TRUE(none.empty());
}

}  // namespace
