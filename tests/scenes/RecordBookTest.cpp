// The record panel's model: when it asks the server, what the answers become, and every text it
// makes from them.

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "net/MessageDecoder.h"
#include "scenes/hall/RecordBook.h"

namespace {

using State = RecordBook::State;

stMsg decode(const std::string& json) {
    stMsg msg;
    EXPECT_EQ(decodeMessage(json, msg), DecodeStatus::Ok) << json;
    return msg;
}

const char* const kRecord =
    R"({"opt":"record","games":"12","wins":"7","draws":"1","losses":"4","points":"1140",)"
    R"("rating":"1516","last":[{"when":"1796000000","result":"2","points":"130",)"
    R"j("partner":"小明","opponents":"player8,computer (hard)"},)j"
    R"j({"when":"1709208000","result":"-1","points":"45","partner":"computer (easy)",)j"
    R"("opponents":"老王,player2"}]})";
const char* const kLeaderboard =
    R"({"opt":"leaderboard","top":[{"place":"1","name":"张三丰","rating":"1532","games":"9"},)"
    R"({"place":"2","name":"player3","rating":"1516","games":"12"}],"place":"2"})";

TEST(RecordBook, AsksOnlyWhereOfferedAndAtTheServersRate) {
    struct Step {
        const char* what;
        char action;  // o open offered, n open not offered, r record, R record none,
                      // l leaderboard, L leaderboard none, e expire
        double now;
        bool returns;  // open: requests to send; expire: a state changed
        State record;
        State leaderboard;
    };
    const Step steps[] = {
        {"not offered: nothing asked", 'n', 1.0, false, State::None, State::None},
        {"offered: both asked", 'o', 1.2, true, State::Waiting, State::Waiting},
        {"again within 1.5 s: not asked", 'o', 2.6, false, State::Waiting, State::Waiting},
        {"still waiting just before 3 s", 'e', 4.1, false, State::Waiting, State::Waiting},
        {"the record comes", 'r', 4.15, false, State::Shown, State::Waiting},
        {"the leaderboard given up at 3 s", 'e', 4.2, true, State::Shown, State::None},
        {"nothing left to give up", 'e', 9.0, false, State::Shown, State::None},
        {"a late leaderboard is still shown", 'l', 9.1, false, State::Shown, State::Shown},
        {"1.5 s after the last request: asked", 'o', 9.2, true, State::Waiting, State::Waiting},
        {"record none", 'R', 9.3, false, State::None, State::Waiting},
        {"leaderboard none", 'L', 9.4, false, State::None, State::None},
        {"reopened soon: answers kept", 'o', 10.0, false, State::None, State::None},
        {"no longer offered on a new link", 'n', 10.1, false, State::None, State::None},
        {"offered again later", 'o', 20.0, true, State::Waiting, State::Waiting},
    };
    RecordBook book;
    for (const Step& step : steps) {
        bool returned = false;
        switch (step.action) {
            case 'o': returned = book.open(step.now, true); break;
            case 'n': returned = book.open(step.now, false); break;
            case 'r': book.takeRecord(decode(kRecord)); break;
            case 'R': book.takeRecord(decode(R"({"opt":"record","status":"none"})")); break;
            case 'l': book.takeLeaderboard(decode(kLeaderboard)); break;
            case 'L':
                book.takeLeaderboard(decode(R"({"opt":"leaderboard","status":"none"})"));
                break;
            case 'e': returned = book.expire(step.now); break;
        }
        EXPECT_EQ(returned, step.returns) << step.what;
        EXPECT_EQ(book.recordState(), step.record) << step.what;
        EXPECT_EQ(book.leaderboardState(), step.leaderboard) << step.what;
    }
}

TEST(RecordBook, LinesOfTheAnswers) {
    RecordBook book;
    book.open(0, true);
    book.takeRecord(decode(kRecord));
    book.takeLeaderboard(decode(kLeaderboard));
    EXPECT_EQ(book.tallyLine(), "对局 12   胜 7   平 1   负 4   胜率 58%");
    EXPECT_EQ(book.scoreLine(), "总得分 1140   等级分 1516");
    EXPECT_EQ(book.placeLine(), "你的名次：第 2 名");

    using GameRow = std::array<std::string, RecordBook::kGameColumns>;
    const auto games = book.gameRows(8 * 3600);
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[0], (GameRow{"2026-11-30 08:53", "大胜", "130", "小明",
                                 "player8, computer (hard)"}));
    EXPECT_EQ(games[1], (GameRow{"2024-02-29 20:00", "负", "45", "computer (easy)",
                                 "老王, player2"}));

    using LeaderRow = std::array<std::string, RecordBook::kLeaderColumns>;
    const auto rows = book.leaderRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (LeaderRow{"1", "张三丰", "1532", "9"}));
    EXPECT_EQ(rows[1], (LeaderRow{"2", "player3", "1516", "12"}));

    book.takeLeaderboard(decode(R"({"opt":"leaderboard","top":[],"place":"-1"})"));
    EXPECT_EQ(book.placeLine(), "你还没有排名：与三位真人打完一局后上榜");
    EXPECT_TRUE(book.leaderRows().empty());
    book.takeRecord(decode(R"({"opt":"record","games":"0","rating":"1500","last":[]})"));
    EXPECT_EQ(book.tallyLine(), "对局 0   胜 0   平 0   负 0   胜率 --");
    EXPECT_TRUE(book.gameRows(0).empty());
}

TEST(RecordBook, WinRateInWholePercent) {
    struct Case {
        int wins;
        int games;
        const char* expected;
    };
    const Case cases[] = {
        {0, 0, "--"},   {3, 0, "--"},     {1, -4, "--"},      {7, 12, "58%"},
        {1, 2, "50%"},  {1, 3, "33%"},    {2, 3, "67%"},      {1, 8, "13%"},
        {0, 5, "0%"},   {5, 5, "100%"},   {9, 5, "100%"},     {-3, 5, "0%"},
        {INT_MAX, INT_MAX, "100%"},       {INT_MAX / 2, INT_MAX, "50%"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RecordBook::winRateText(c.wins, c.games), c.expected)
            << c.wins << " of " << c.games;
    }
}

TEST(RecordBook, ResultTexts) {
    const std::pair<int, const char*> cases[] = {
        {2, "大胜"}, {1, "胜"}, {0, "平"}, {-1, "负"}, {-2, "大败"}, {3, "?"}, {-3, "?"}, {INT_MIN, "?"},
    };
    for (const auto& [result, text] : cases) {
        EXPECT_EQ(RecordBook::resultText(result), text) << result;
    }
}

TEST(RecordBook, DatesInLocalTime) {
    struct Case {
        std::int64_t when;
        std::int64_t offset;
        const char* expected;
    };
    const Case cases[] = {
        {0, 0, "1970-01-01 00:00"},
        {1796000000, 0, "2026-11-30 00:53"},
        {1796000000, 8 * 3600, "2026-11-30 08:53"},
        {1796000000, -5 * 3600, "2026-11-29 19:53"},
        {1709208000, 0, "2024-02-29 12:00"},
        {951868740, 60, "2000-03-01 00:00"},
        {253402300799, 0, "9999-12-31 23:59"},
        {253402300799, 3600, "-"},
        {0, -3600, "-"},
        {-1, 0, "-"},
        {INT64_MAX, 0, "-"},
        {INT64_MIN, 0, "-"},
        {1796000000, INT64_MAX, "-"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RecordBook::dateText(c.when, c.offset), c.expected) << c.when << " " << c.offset;
    }
}

TEST(RecordBook, NamesFitTheirColumn) {
    struct Case {
        std::string text;
        int cells;
        std::string expected;
    };
    const Case cases[] = {
        {"computer (easy)", RecordBook::kNameCells, "computer (easy)"},
        {"player3", 14, "player3"},
        {"小明", 14, "小明"},
        {"abcdefghijklmn", 14, "abcdefghijklmn"},
        {"abcdefghijklmno", 14, "abcdefghijklm…"},
        {"一二三四五六七", 14, "一二三四五六七"},
        {"一二三四五六七八", 14, "一二三四五六…"},
        {"ab一二三四五六七", 14, "ab一二三四五…"},
        {"a\nb\tc", 14, "a?b?c"},
        {"\xff\xfe", 14, "??"},
        {"x\xe5\xb0", 14, "x??"},
        {"\xc0\xaf", 14, "??"},
        {"", 14, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RecordBook::fitText(c.text, c.cells), c.expected) << c.text;
    }
}

}  // namespace
