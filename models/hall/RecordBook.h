#pragma once
// What the hall's record panel shows: the last "record" and "leaderboard" answers, whether each
// is awaited, and every text made from them. Plain C++ without the engine: the panel draws these
// texts and never reads a figure back from a label. One book serves the whole process (the hall
// is rebuilt after every desk), so a panel opened again soon after shows the answers it has.
//
//   event                               record / leaderboard state
//   open, records not offered           None ("暂无记录"), nothing sent
//   open, last request < kReuseSeconds  unchanged, nothing sent (the server allows one a second)
//   open otherwise                      Waiting, both requests sent
//   answer with status "none"           None
//   other answer                        Shown (its figures replace the old ones)
//   kPatienceSeconds after the request  Waiting becomes None
//
// Times are seconds on one monotonic clock of the caller's. Main thread only.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "net/Message.h"

class RecordBook {
public:
    static constexpr double kReuseSeconds = 1.5;
    static constexpr double kPatienceSeconds = 3.0;
    // Columns of a last-game row and of a leaderboard row.
    static constexpr std::size_t kGameColumns = 5;    // when, result, points, partner, opponents
    static constexpr std::size_t kLeaderColumns = 4;  // place, name, rating, games
    // Widths in cells (a Latin character one, a Chinese one two) a shown name is cut to.
    static constexpr int kNameCells = 18;
    static constexpr int kOpponentsCells = 34;

    enum class State { None, Waiting, Shown };

    // ---- Requests and answers
    // The panel opens at `now`: true when it must send both requests now.
    bool open(double now, bool recordsOffered);
    void takeRecord(const stMsg& msg);
    void takeLeaderboard(const stMsg& msg);
    // Gives up the answers still awaited once kPatienceSeconds have passed since the request;
    // true when a state changed.
    bool expire(double now);

    State recordState() const { return m_recordState; }
    State leaderboardState() const { return m_leaderboardState; }

    // ---- Texts (only meaningful while the matching state is Shown)
    // "对局 12   胜 7   平 1   负 4   胜率 58%"
    std::string tallyLine() const;
    // "总得分 1140   等级分 1516"
    std::string scoreLine() const;
    // The last games, newest first; `utcOffset` is the local time's offset in seconds.
    std::vector<std::array<std::string, kGameColumns>> gameRows(std::int64_t utcOffset) const;
    std::vector<std::array<std::string, kLeaderColumns>> leaderRows() const;
    // "你的名次：第 4 名", or that the player is not ranked yet.
    std::string placeLine() const;

    // ---- Formatting pieces
    // Wins in percent of games, rounded ("58%"); "--" without games.
    static std::string winRateText(int wins, int games);
    // "大胜", "胜", "平", "负", "大败" for +2 .. -2; "?" otherwise.
    static std::string resultText(int result);
    // "2026-12-08 10:31" for Unix seconds `when` shifted by `utcOffset`; "-" outside year 1970
    // to 9999.
    static std::string dateText(std::int64_t when, std::int64_t utcOffset);
    // `text` cut to at most `cells` cells with "…" at the end; bytes that are not UTF-8 become "?".
    static std::string fitText(const std::string& text, int cells);
    // This machine's local offset from UTC at Unix seconds `when`, in seconds.
    static std::int64_t localUtcOffset(std::int64_t when);

private:
    State m_recordState = State::None;
    State m_leaderboardState = State::None;
    double m_askedAt = 0;     // when the last requests were sent
    bool m_asked = false;     // requests were sent once at least
    st_record m_record;       // the last "record" answer shown
    std::vector<st_leader_row> m_top;
    int m_place = -1;
};
