#include "models/hall/RecordBook.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

// Unix seconds of 9999-12-31 23:59:59, the last moment dateText writes.
constexpr std::int64_t kLastDateSeconds = 253402300799;
constexpr std::int64_t kDaySeconds = 86400;

// The UTF-8 sequence at `at`: its length and code point; length 0 when it is not valid.
struct CodePoint {
    std::size_t length = 0;
    char32_t value = 0;
};

CodePoint decodeAt(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        return {1, lead};
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return {};
    }
    if (at + length > text.size()) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return {};
        }
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    const char32_t lowest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < lowest[length] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
        return {};
    }
    return {length, value};
}

// Chinese, Japanese, Korean and the full-width forms take two cells, the rest one.
int cellsOf(char32_t c) {
    return c >= 0x1100 ? 2 : 1;
}

std::string number(std::int64_t value) {
    return std::to_string(value);
}

}  // namespace

bool RecordBook::open(double now, bool recordsOffered) {
    if (!recordsOffered) {
        m_recordState = State::None;
        m_leaderboardState = State::None;
        return false;
    }
    if (m_asked && now - m_askedAt < kReuseSeconds) {
        return false;
    }
    m_asked = true;
    m_askedAt = now;
    m_recordState = State::Waiting;
    m_leaderboardState = State::Waiting;
    return true;
}

void RecordBook::takeRecord(const stMsg& msg) {
    if (msg.status == "none") {
        m_recordState = State::None;
        return;
    }
    m_record = msg.record;
    m_recordState = State::Shown;
}

void RecordBook::takeLeaderboard(const stMsg& msg) {
    if (msg.status == "none") {
        m_leaderboardState = State::None;
        return;
    }
    m_top = msg.top;
    m_place = msg.place;
    m_leaderboardState = State::Shown;
}

bool RecordBook::expire(double now) {
    if (now - m_askedAt < kPatienceSeconds) {
        return false;
    }
    bool changed = false;
    for (State* state : {&m_recordState, &m_leaderboardState}) {
        if (*state == State::Waiting) {
            *state = State::None;
            changed = true;
        }
    }
    return changed;
}

std::string RecordBook::tallyLine() const {
    return "对局 " + number(m_record.games) + "   胜 " + number(m_record.wins) + "   平 " +
           number(m_record.draws) + "   负 " + number(m_record.losses) + "   胜率 " +
           winRateText(m_record.wins, m_record.games);
}

std::string RecordBook::scoreLine() const {
    return "总得分 " + number(m_record.points) + "   等级分 " + number(m_record.rating);
}

std::vector<std::array<std::string, RecordBook::kGameColumns>> RecordBook::gameRows(
    std::int64_t utcOffset) const {
    std::vector<std::array<std::string, kGameColumns>> rows;
    for (const st_record_game& game : m_record.last) {
        std::string opponents = game.opponents;
        if (const auto comma = opponents.find(','); comma != std::string::npos) {
            opponents.replace(comma, 1, ", ");
        }
        rows.push_back({dateText(game.when, utcOffset), resultText(game.result),
                        number(game.points), fitText(game.partner, kNameCells),
                        fitText(opponents, kOpponentsCells)});
    }
    return rows;
}

std::vector<std::array<std::string, RecordBook::kLeaderColumns>> RecordBook::leaderRows() const {
    std::vector<std::array<std::string, kLeaderColumns>> rows;
    for (const st_leader_row& row : m_top) {
        rows.push_back({number(row.place), fitText(row.name, kNameCells), number(row.rating),
                        number(row.games)});
    }
    return rows;
}

std::string RecordBook::placeLine() const {
    if (m_place <= 0) {
        return "你还没有排名：与三位真人打完一局后上榜";
    }
    return "你的名次：第 " + number(m_place) + " 名";
}

std::string RecordBook::winRateText(int wins, int games) {
    if (games <= 0) {
        return "--";
    }
    const std::int64_t percent =
        (std::int64_t{wins} * 200 + games) / (std::int64_t{games} * 2);  // rounded half up
    return number(std::clamp<std::int64_t>(percent, 0, 100)) + "%";
}

std::string RecordBook::resultText(int result) {
    switch (result) {
        case 2: return "大胜";
        case 1: return "胜";
        case 0: return "平";
        case -1: return "负";
        case -2: return "大败";
        default: return "?";
    }
}

std::string RecordBook::dateText(std::int64_t when, std::int64_t utcOffset) {
    if (when < 0 || when > kLastDateSeconds || utcOffset < -kDaySeconds ||
        utcOffset > kDaySeconds) {
        return "-";
    }
    const std::int64_t local = when + utcOffset;
    if (local < 0 || local > kLastDateSeconds) {
        return "-";
    }
    // Days since 1970-01-01 to a civil date (Howard Hinnant's days_from_civil, inverted).
    const std::int64_t z = local / kDaySeconds + 719468;
    const std::int64_t era = z / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shifted = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
    const int month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    const int secondOfDay = static_cast<int>(local % kDaySeconds);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", year, month, day,
                  secondOfDay / 3600, secondOfDay / 60 % 60);
    return text;
}

std::string RecordBook::fitText(const std::string& text, int cells) {
    std::string out;
    std::string cut;  // `out` as it stood while a "…" still fitted after it
    int used = 0;
    for (std::size_t at = 0; at < text.size();) {
        const CodePoint c = decodeAt(text, at);
        const bool plain = c.length != 0 && c.value >= 0x20 && c.value != 0x7F;
        const int width = plain ? cellsOf(c.value) : 1;
        if (used + width > cells) {
            return cut + "…";
        }
        if (used + width <= cells - 1) {
            cut.append(plain ? text.substr(at, c.length) : "?");
        }
        out.append(plain ? text.substr(at, c.length) : "?");
        used += width;
        at += c.length != 0 ? c.length : 1;
    }
    return out;
}

std::int64_t RecordBook::localUtcOffset(std::int64_t when) {
    const std::time_t t = static_cast<std::time_t>(when);
    const std::tm* localPart = std::localtime(&t);
    if (localPart == nullptr) {
        return 0;
    }
    const std::tm local = *localPart;
    const std::tm* utcPart = std::gmtime(&t);
    if (utcPart == nullptr) {
        return 0;
    }
    const std::tm& utc = *utcPart;
    int dayShift = 0;
    if (local.tm_year != utc.tm_year) {
        dayShift = local.tm_year > utc.tm_year ? 1 : -1;
    } else if (local.tm_yday != utc.tm_yday) {
        dayShift = local.tm_yday > utc.tm_yday ? 1 : -1;
    }
    return std::int64_t{dayShift} * kDaySeconds + (local.tm_hour - utc.tm_hour) * 3600 +
           (local.tm_min - utc.tm_min) * 60;
}
