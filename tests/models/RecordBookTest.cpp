// The record panel's model: when it asks the server, what the answers become, and the texts it
// makes from them.

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "models/hall/RecordBook.h"
#include "net/MessageDecoder.h"

namespace {

using State = RecordBook::State;

stMsg decode(const std::string& json) {
    stMsg msg;
    EXPECT_EQ(decodeMessage(json, msg), DecodeStatus::Ok) << json;
    return msg;
}

TEST(RecordBook, AsksOnlyWhereOfferedAndAtTheServersRate) {
    // o open offered, n open not offered, r/R record / with status none, l/L the same for the
    // leaderboard, e expire; `returns`: open must send, expire changed a state.
    struct Step {
        const char* what;
        char action;
        double now;
        bool returns;
        State record, leaderboard;
    };
    const Step steps[] = {
        {"not offered: nothing asked", 'n', 1.0, false, State::None, State::None},
        {"offered: both asked", 'o', 1.2, true, State::Waiting, State::Waiting},
        {"again within 1.5 s: not asked", 'o', 2.6, false, State::Waiting, State::Waiting},
        {"still waiting just before 3 s", 'e', 4.1, false, State::Waiting, State::Waiting},
        {"the record comes", 'r', 4.15, false, State::Shown, State::Waiting},
        {"the leaderboard given up at 3 s", 'e', 4.2, true, State::Shown, State::None},
        {"a late leaderboard is still shown", 'l', 9.1, false, State::Shown, State::Shown},
        {"1.5 s after the last request: asked", 'o', 9.2, true, State::Waiting, State::Waiting},
        {"status none", 'R', 9.3, false, State::None, State::Waiting},
        {"status none", 'L', 9.4, false, State::None, State::None},
        {"no longer offered on a new link", 'n', 20.0, false, State::None, State::None},
    };
    RecordBook book;
    for (const Step& step : steps) {
        bool returned = false;
        switch (step.action) {
            case 'o': returned = book.open(step.now, true); break;
            case 'n': returned = book.open(step.now, false); break;
            case 'r': book.takeRecord(decode(R"({"opt":"record","games":"1"})")); break;
            case 'R': book.takeRecord(decode(R"({"opt":"record","status":"none"})")); break;
            case 'l': book.takeLeaderboard(decode(R"({"opt":"leaderboard","place":"3"})")); break;
            case 'L': book.takeLeaderboard(decode(R"({"opt":"leaderboard","status":"none"})")); break;
            case 'e': returned = book.expire(step.now); break;
        }
        EXPECT_EQ(returned, step.returns) << step.what;
        EXPECT_EQ(book.recordState(), step.record) << step.what;
        EXPECT_EQ(book.leaderboardState(), step.leaderboard) << step.what;
    }
}

TEST(RecordBook, PlayersWithoutGamesOrPlace) {
    RecordBook book;
    book.takeRecord(decode(R"({"opt":"record","games":"0","rating":"1500","last":[]})"));
    book.takeLeaderboard(decode(R"({"opt":"leaderboard","top":[],"place":"-1"})"));
    EXPECT_EQ(book.tallyLine(), "对局 0   胜 0   平 0   负 0   胜率 --");
    EXPECT_EQ(book.placeLine(), "你还没有排名：与三位真人打完一局后上榜");
    EXPECT_TRUE(book.gameRows(0).empty());
    EXPECT_TRUE(book.leaderRows().empty());
}

TEST(RecordBook, WinRatesResultsAndDates) {
    const std::pair<std::pair<int, int>, const char*> rates[] = {
        {{0, 0}, "--"},  {{3, -4}, "--"},  {{7, 12}, "58%"}, {{1, 8}, "13%"}, {{2, 3}, "67%"},
        {{9, 5}, "100%"}, {{-3, 5}, "0%"}, {{INT_MAX, INT_MAX}, "100%"},
    };
    for (const auto& [figures, text] : rates) {
        EXPECT_EQ(RecordBook::winRateText(figures.first, figures.second), text) << text;
    }
    const std::pair<int, const char*> results[] = {
        {2, "大胜"}, {1, "胜"}, {0, "平"}, {-1, "负"}, {-2, "大败"}, {3, "?"}, {INT_MIN, "?"}};
    for (const auto& [result, text] : results) {
        EXPECT_EQ(RecordBook::resultText(result), text) << result;
    }
    const std::tuple<std::int64_t, std::int64_t, const char*> dates[] = {
        {0, 0, "1970-01-01 00:00"},         {1796000000, 8 * 3600, "2026-11-30 08:53"},
        {1796000000, -5 * 3600, "2026-11-29 19:53"}, {951868740, 60, "2000-03-01 00:00"},
        {253402300799, 0, "9999-12-31 23:59"},  {253402300799, 3600, "-"},
        {0, -3600, "-"},  {INT64_MIN, 0, "-"},  {1796000000, INT64_MAX, "-"},
    };
    for (const auto& [when, offset, text] : dates) {
        EXPECT_EQ(RecordBook::dateText(when, offset), text) << when << " " << offset;
    }
}

TEST(RecordBook, NamesFitTheirColumnAndStayOneLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"小明", "小明"},
        {"abcdefghijklmn", "abcdefghijklmn"},
        {"abcdefghijklmno", "abcdefghijklm…"},
        {"一二三四五六七", "一二三四五六七"},
        {"ab一二三四五六七", "ab一二三四五…"},
        {"a\nb\tc", "a?b?c"},
        {"x\xff\xe5\xb0", "x???"},
        {"\xc0\xaf", "??"},
    };
    for (const auto& [text, fitted] : cases) {
        EXPECT_EQ(RecordBook::fitText(text, 14), fitted) << text;
    }
}

}  // namespace
