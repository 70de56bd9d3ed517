#include "cards/LegalPlays.h"

#include <array>
#include <utility>

namespace {

using Play = std::vector<int>;

constexpr int kCodes = kRedJoker + 1;
constexpr int kRanks = kJokerRank + 1;
constexpr std::size_t kMaxPiece = kMaxBombCards;  // no kind takes more cards of one rank

int codesOf(int rank) {
    return rank == kJokerRank ? 2 : 4;
}

// Every distinct sub-multiset of one rank's cards (ascending codes), indexed by card count.
using Pieces = std::array<std::vector<Play>, kMaxPiece + 1>;

void collectPieces(const std::array<int, kCodes>& counts, int rank, int suit, Play& piece,
                   Pieces& out) {
    if (suit == codesOf(rank)) {
        out[piece.size()].push_back(piece);
        return;
    }
    const int code = cardCode(rank, suit);
    const std::size_t before = piece.size();
    for (int taken = 0; taken <= counts[code] && piece.size() <= kMaxPiece; ++taken) {
        collectPieces(counts, rank, suit + 1, piece, out);
        piece.push_back(code);
    }
    piece.resize(before);
}

// Builds candidate plays kind by kind from the hand's pieces and keeps those that beat the last
// play. A candidate is kept only when it classifies as the kind its builder makes: the builders
// then never hand in the same multiset twice (a builder's own pieces are distinct by
// construction), and the shared comparison makes the result exactly what canBeat accepts.
class PlayFinder {
public:
    PlayFinder(const std::vector<int>& hand, const std::vector<int>& lastPlay)
        : m_lastPlay(lastPlay) {
        for (int code : hand) {
            if (isValidCode(code)) ++m_counts[code];
        }
        sortHand(m_lastPlay);
        m_last = classifyHand(m_lastPlay);
        for (int rank = 0; rank < kRanks; ++rank) {
            Play piece;
            collectPieces(m_counts, rank, 0, piece, m_pieces[rank]);
        }
    }

    std::vector<Play> find() {
        if (wants(HAND_SINGLE)) addSingles();
        if (wants(HAND_PAIR)) addOneRank(2, HAND_PAIR, kJokerRank);
        if (wants(HAND_TRIPLE)) addOneRank(3, HAND_TRIPLE, kKingRank);
        if (wants(HAND_SAME_CARDS)) addSameCards();
        if (wants(HAND_BOMB)) addBombs();
        if (wants(HAND_PAIR_RUN)) addRuns(2, kMinPairRunCards / 2, HAND_PAIR_RUN);
        if (wants(HAND_TRIPLE_RUN)) addRuns(3, kMinTripleRunCards / 3, HAND_TRIPLE_RUN);
        if (wants(HAND_TRIPLE_WITH_PAIR)) addTriplesWithPair();
        return std::move(m_found);
    }

private:
    // Only kinds that can beat the last play are built: its own kind, bombs and same cards.
    bool wants(int kind) const {
        if (m_lastPlay.empty()) return true;
        if (kind == HAND_SAME_CARDS) return true;
        if (kind == HAND_BOMB) return m_last.kind != HAND_SAME_CARDS;
        return kind == m_last.kind;
    }

    // A play of the same ordinary kind must have as many cards as the last play.
    bool wantsCount(int kind, std::size_t count) const {
        if (m_lastPlay.empty() || kind == HAND_SAME_CARDS || kind == HAND_BOMB) return true;
        return count == m_lastPlay.size();
    }

    void offer(const Play& play, int kind) {
        const HandType type = classifyHand(play);
        if (type.kind != kind) return;
        if (beatClassified(m_last, m_lastPlay.size(), type, play.size()).ok) {
            m_found.push_back(play);
        }
    }

    void addSingles() {
        for (int code = 0; code < kCodes; ++code) {
            if (m_counts[code] > 0) offer({code}, HAND_SINGLE);
        }
    }

    // Pairs and triples: any piece of that size of one rank (the classifier drops the identical
    // triples, which are same cards, and the mixed joker pair).
    void addOneRank(std::size_t size, int kind, int lastRank) {
        for (int rank = 0; rank <= lastRank; ++rank) {
            for (const Play& piece : m_pieces[rank][size]) offer(piece, kind);
        }
    }

    void addSameCards() {
        for (int code = 0; code < kCodes; ++code) {
            for (int copies = 3; copies <= 4 && copies <= m_counts[code]; ++copies) {
                offer(Play(copies, code), HAND_SAME_CARDS);
            }
        }
    }

    void addBombs() {
        const std::size_t fewest = m_last.kind == HAND_BOMB ? m_lastPlay.size() : kMinBombCards;
        for (int rank = 0; rank <= kKingRank; ++rank) {
            for (std::size_t size = fewest; size <= kMaxBombCards; ++size) {
                for (const Play& piece : m_pieces[rank][size]) offer(piece, HAND_BOMB);
            }
        }
    }

    // Runs of `width`-card groups over consecutive ranks: either from rank 1 or more up to any
    // rank below the jokers, or an ace group on top of a run that ends at the king. The ace group
    // takes 2 * width aces when the run below it starts at the aces themselves.
    void addRuns(std::size_t width, int minGroups, int kind) {
        for (int low = 1; low <= kKingRank; ++low) {
            for (int high = low + minGroups - 1; high <= kKingRank; ++high) {
                if (!wantsCount(kind, width * (high - low + 1))) continue;
                Play play;
                addChain(width, low, high, play, kind);
            }
        }
        for (int low = 1; kKingRank - low + 2 >= minGroups; ++low) {
            addAceTopRun(width, width, low, kind);
        }
        addAceTopRun(width, 2 * width, 1, kind);
    }

    // `aces` aces above the groups from rank `low` up to the king.
    void addAceTopRun(std::size_t width, std::size_t aces, int low, int kind) {
        const std::size_t cards = aces + width * (kKingRank - low + 1);
        if (aces > kMaxPiece || !wantsCount(kind, cards)) return;
        for (const Play& acePiece : m_pieces[kAceRank][aces]) {
            Play play = acePiece;
            addChain(width, low, kKingRank, play, kind);
        }
    }

    // Appends one group of every rank from `rank` to `high` in every way, offering each result.
    void addChain(std::size_t width, int rank, int high, Play& play, int kind) {
        if (rank > high) {
            offer(play, kind);
            return;
        }
        const std::size_t before = play.size();
        for (const Play& group : m_pieces[rank][width]) {
            play.insert(play.end(), group.begin(), group.end());
            addChain(width, rank + 1, high, play, kind);
            play.resize(before);
        }
    }

    // Three of one rank and two of another, jokers counting as rank 13; five jokers also qualify.
    void addTriplesWithPair() {
        for (int tripleRank = 0; tripleRank < kRanks; ++tripleRank) {
            for (int pairRank = 0; pairRank < kRanks; ++pairRank) {
                if (pairRank == tripleRank) continue;
                for (const Play& three : m_pieces[tripleRank][3]) {
                    for (const Play& two : m_pieces[pairRank][2]) {
                        offer(joinByRank(three, tripleRank, two, pairRank), HAND_TRIPLE_WITH_PAIR);
                    }
                }
            }
        }
        for (const Play& five : m_pieces[kJokerRank][5]) offer(five, HAND_TRIPLE_WITH_PAIR);
    }

    static Play joinByRank(const Play& a, int rankA, const Play& b, int rankB) {
        Play play = rankA < rankB ? a : b;
        const Play& upper = rankA < rankB ? b : a;
        play.insert(play.end(), upper.begin(), upper.end());
        return play;
    }

    std::array<int, kCodes> m_counts{};
    std::array<Pieces, kRanks> m_pieces{};
    Play m_lastPlay;
    HandType m_last;
    std::vector<Play> m_found;
};

}  // namespace

std::vector<std::vector<int>> legalPlays(const std::vector<int>& hand,
                                         const std::vector<int>& lastPlay) {
    return PlayFinder(hand, lastPlay).find();
}
