#include "cards/HandRules.h"

#include <algorithm>
#include <climits>

namespace {

int clampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool isAce(int code) {
    return code >= 0 && code <= 3;
}
bool isKing(int code) {
    return code >= 48 && code <= 51;
}
bool isAceOrTwo(int code) {
    return code >= 0 && code <= 7;
}
bool sameRank(int a, int b) {
    return rankIndex(a) == rankIndex(b);
}

using Cards = std::vector<int>;

bool allIdentical(const Cards& c) {
    return std::all_of(c.begin(), c.end(), [&](int code) { return code == c[0]; });
}

bool allOneRank(const Cards& c) {
    return std::all_of(c.begin(), c.end(), [&](int code) { return sameRank(code, c[0]); });
}

HandType single(const Cards& c) {
    if (c.size() != 1) return {};
    return {HAND_SINGLE, singleValue(c[0])};
}

HandType pair(const Cards& c) {
    if (c.size() != 2 || !sameRank(c[0], c[1])) return {};
    if (isJoker(c[0])) {
        if (c[1] != c[0]) return {};
        return {HAND_PAIR, singleValue(c[0])};
    }
    if (c[0] == kSpecialCard && c[1] == kSpecialCard) return {HAND_PAIR, kUnbeatableValue};
    return {HAND_PAIR, topCardValue(c[1])};
}

HandType triple(const Cards& c) {
    if (c.size() != 3 || !allOneRank(c) || allIdentical(c) || isJoker(c[0])) return {};
    return {HAND_TRIPLE, topCardValue(c[2])};
}

// Also the test that keeps five cards of one rank out of the triple-with-pair recogniser.
bool isBombShape(const Cards& c) {
    const std::size_t n = c.size();
    if (n < kMinBombCards || n > kMaxBombCards) return false;
    if (n == kMinBombCards && allIdentical(c)) return false;
    return !isJoker(c[0]) && allOneRank(c);
}

HandType bomb(const Cards& c) {
    if (!isBombShape(c)) return {};
    return {HAND_BOMB, topCardValue(c.back())};
}

HandType sameCards(const Cards& c) {
    if ((c.size() != 3 && c.size() != 4) || !allIdentical(c)) return {};
    return {HAND_SAME_CARDS, sameCardsValue(c[0])};
}

// Groups of `width` cards of one rank, each group one rank above the one before. When the first
// group is aces they stand above the king: the rest must end on a king and the aces are skipped
// in the adjacency test.
HandType run(const Cards& c, std::size_t width, std::size_t minCards, int kind) {
    const std::size_t n = c.size();
    if (n < minCards || n % width != 0 || isJoker(c[n - 1])) return {};
    for (std::size_t i = 0; i < n; i += width) {
        for (std::size_t j = 1; j < width; ++j) {
            if (!sameRank(c[i], c[i + j])) return {};
        }
    }
    const bool aceTop = isAce(c[0]);
    if (aceTop && !isKing(c[n - 1])) return {};
    for (std::size_t i = aceTop ? width : 0; i + width < n; i += width) {
        if (rankIndex(c[i + width]) != rankIndex(c[i]) + 1) return {};
    }
    return {kind, topCardValue(aceTop ? c[width - 1] : c[n - 1])};
}

HandType pairRun(const Cards& c) {
    return run(c, 2, kMinPairRunCards, HAND_PAIR_RUN);
}

HandType tripleRun(const Cards& c) {
    return run(c, 3, kMinTripleRunCards, HAND_TRIPLE_RUN);
}

HandType tripleWithPair(const Cards& c) {
    if (c.size() != 5 || isBombShape(c)) return {};
    if (sameRank(c[0], c[1]) && sameRank(c[1], c[2]) && sameRank(c[3], c[4])) {
        return {HAND_TRIPLE_WITH_PAIR, topCardValue(c[2])};
    }
    if (sameRank(c[0], c[1]) && sameRank(c[2], c[3]) && sameRank(c[3], c[4])) {
        return {HAND_TRIPLE_WITH_PAIR, topCardValue(c[4])};
    }
    return {};
}

}  // namespace

int singleValue(int code) {
    return code == kSpecialCard ? kUnbeatableValue : topCardValue(code);
}

int topCardValue(int code) {
    if (isJoker(code)) return code + 100;
    if (isAceOrTwo(code)) return code + 54;
    return code;
}

int sameCardsValue(int code) {
    if (code == kSpecialCard) return kUnbeatableValue;
    if (isJoker(code)) return code + 500;
    const long long bySuit = static_cast<long long>(code) + 52LL * suitIndex(code);
    return clampToInt(isAceOrTwo(code) ? bySuit + 52 : bySuit);
}

HandType classifyHand(const std::vector<int>& codes) {
    using Recogniser = HandType (*)(const Cards&);
    static constexpr Recogniser kRecognisers[] = {single,    pair,    triple,    bomb,
                                                  sameCards, pairRun, tripleRun, tripleWithPair};
    for (Recogniser recognise : kRecognisers) {
        const HandType type = recognise(codes);
        if (type.kind != HAND_NONE) return type;
    }
    return {};
}

BeatResult beatClassified(const HandType& last, std::size_t lastCount, const HandType& candidate,
                          std::size_t candidateCount) {
    const BeatResult yes{true, candidate.kind};
    if (candidate.kind == HAND_NONE || last.value == kUnbeatableValue) return {};
    if (lastCount == 0) return yes;
    if (isPowerKind(last.kind)) {
        if (!isPowerKind(candidate.kind)) return {};
        if (last.kind != candidate.kind)
            return candidate.kind == HAND_SAME_CARDS ? yes : BeatResult{};
        if (candidateCount != lastCount) return candidateCount > lastCount ? yes : BeatResult{};
        return candidate.value > last.value ? yes : BeatResult{};
    }
    if (isPowerKind(candidate.kind)) return yes;
    const bool beats =
        candidate.kind == last.kind && candidateCount == lastCount && candidate.value > last.value;
    return beats ? yes : BeatResult{};
}

BeatResult canBeat(std::vector<int>& lastPlay, std::vector<int>& candidate) {
    sortHand(lastPlay);
    sortHand(candidate);
    if (candidate.empty() || !std::all_of(candidate.begin(), candidate.end(), isValidCode)) {
        return {};
    }
    return beatClassified(classifyHand(lastPlay), lastPlay.size(), classifyHand(candidate),
                          candidate.size());
}
