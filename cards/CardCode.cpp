#include "cards/CardCode.h"

#include <algorithm>
#include <climits>

namespace {

// The blanks atoi skips (isspace in the "C" locale), without depending on the current locale.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One piece of a card list, read like atoi but clamped to the int range.
int readCode(std::string_view piece) {
    std::size_t i = 0;
    while (i < piece.size() && isBlank(piece[i])) ++i;
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) {
        negative = piece[i] == '-';
        ++i;
    }
    // Accumulate at most one past INT_MAX so that -2147483648 still reads exactly.
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9'; ++i) {
        magnitude = std::min(kLimit, magnitude * 10 + (piece[i] - '0'));
    }
    const long long value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace

int rankIndex(int code) {
    return code / 4;
}

int suitIndex(int code) {
    return code % 4;
}

int cardCode(int rank, int suit) {
    return 4 * rank + suit;
}

bool isJoker(int code) {
    return code == kBlackJoker || code == kRedJoker;
}

bool isValidCode(int code) {
    return code >= 0 && code <= kRedJoker;
}

std::vector<int> parseCardList(std::string_view text) {
    std::vector<int> codes;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view piece = text.substr(0, comma);
        if (!piece.empty()) codes.push_back(readCode(piece));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return codes;
}

std::vector<int> parseGameCardList(std::string_view text) {
    std::vector<int> codes = parseCardList(text);
    if (codes.size() > kGameCards) {
        codes.resize(kGameCards);
    }
    return codes;
}

void formatCardList(const std::vector<int>& codes, std::string& out) {
    for (int code : codes) {
        out += std::to_string(code);
        out += ',';
    }
}

void sortHand(std::vector<int>& codes) {
    std::sort(codes.begin(), codes.end());
}
