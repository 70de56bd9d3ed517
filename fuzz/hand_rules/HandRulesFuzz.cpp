// libFuzzer target: arbitrary code lists through the hand rules. The first byte sizes the last
// play, the second the hand; every further byte is a code (mostly real cards, some outside
// 0..53). Checks that classification, comparison and the legal-play finder agree with each other,
// and, for hands small enough to enumerate, that the finder misses no play.

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

#include "cards/CardCode.h"
#include "cards/HandRules.h"
#include "cards/LegalPlays.h"
#include "fuzz/support/FuzzCheck.h"

namespace {

using fuzzing::require;

constexpr std::size_t kMaxHand = 40;      // above a whole deal of 27, below what gets slow
constexpr std::size_t kEnumerateUpTo = 9;  // 2^9 subsets per input at most

int codeFrom(std::uint8_t byte) {
    static constexpr int kOdd[] = {-1, 54, 55, 63, 100, -54, INT_MAX, INT_MIN};
    return byte < 216 ? byte % 54 : kOdd[byte % 8];
}

bool allValid(const std::vector<int>& codes) {
    return std::all_of(codes.begin(), codes.end(), isValidCode);
}

// A copy, since canBeat sorts its arguments.
BeatResult beats(std::vector<int> last, std::vector<int> candidate) {
    return canBeat(last, candidate);
}

void checkClassification(const std::vector<int>& codes) {
    std::vector<int> sorted = codes;
    sortHand(sorted);
    const HandType type = classifyHand(sorted);
    require(type.kind >= HAND_NONE && type.kind <= HAND_TRIPLE_RUN, "a kind is one of the nine");
    require((type.kind == HAND_NONE) == (type.value == 0), "only no hand has value 0");

    const BeatResult lead = beats({}, codes);
    require(lead.ok == (type.kind != HAND_NONE && !codes.empty() && allValid(codes)),
            "any legal hand of real cards leads, nothing else does");
    if (lead.ok) {
        require(lead.kind == type.kind, "comparison reports the candidate's kind");
        require(!beats(codes, codes).ok, "no play beats itself");
    }
}

// Every play the finder gives is taken from the hand, sorted, listed once and beats the last play.
std::set<std::vector<int>> checkedPlays(const std::vector<int>& hand, const std::vector<int>& last) {
    std::vector<int> available = hand;
    sortHand(available);
    std::set<std::vector<int>> plays;
    for (const std::vector<int>& play : legalPlays(hand, last)) {
        require(std::is_sorted(play.begin(), play.end()), "a play is sorted");
        require(std::includes(available.begin(), available.end(), play.begin(), play.end()),
                "a play is taken from the hand");
        require(beats(last, play).ok, "a play beats the last play");
        require(plays.insert(play).second, "a play is listed once");
    }
    return plays;
}

// Every sub-multiset of a small hand that beats the last play.
std::set<std::vector<int>> enumeratedPlays(const std::vector<int>& hand,
                                           const std::vector<int>& last) {
    std::vector<int> cards;
    std::copy_if(hand.begin(), hand.end(), std::back_inserter(cards), isValidCode);
    sortHand(cards);
    std::set<std::vector<int>> plays;
    for (std::uint32_t mask = 1; mask < (1u << cards.size()); ++mask) {
        std::vector<int> play;
        for (std::size_t k = 0; k < cards.size(); ++k) {
            if (mask & (1u << k)) play.push_back(cards[k]);
        }
        if (beats(last, play).ok) plays.insert(play);
    }
    return plays;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    std::vector<int> codes;
    for (std::size_t k = 2; k < size; ++k) codes.push_back(codeFrom(data[k]));
    const std::size_t lastSize = std::min<std::size_t>(data[0] % 17, codes.size());
    const std::size_t handSize = std::min<std::size_t>(std::min<std::size_t>(data[1], kMaxHand),
                                                       codes.size() - lastSize);
    const std::vector<int> last(codes.begin(), codes.begin() + lastSize);
    const std::vector<int> hand(codes.begin() + lastSize, codes.begin() + lastSize + handSize);

    checkClassification(last);
    checkClassification(hand);
    const BeatResult onLast = beats(last, hand);
    if (onLast.ok) require(beats({}, hand).ok, "a hand that beats a play could also lead");

    const std::set<std::vector<int>> plays = checkedPlays(hand, last);
    if (static_cast<std::size_t>(std::count_if(hand.begin(), hand.end(), isValidCode)) <=
        kEnumerateUpTo) {
        require(plays == enumeratedPlays(hand, last), "the finder gives every play there is");
    }
    return 0;
}
