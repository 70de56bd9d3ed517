// Recorded whole games (fuzz/recorded) played through the desk: the server's lines are fed as they
// came, the human's lines are done with the keys and touches a player would use (R, the cards
// tapped, Enter; Backspace for a pass). At every step the tracker's panel must show, for each
// column, the copies not yet seen as counted here from the record itself: the game's copies,
// minus the hand the desk shows, minus every card shown on the table since the deal, minus the
// local seat's cards sent and not yet echoed.

#include <array>
#include <fstream>

#include "cards/CardCode.h"
#include "engine/backend/headless/Headless.h"
#include "net/MessageDecoder.h"
#include "scenes/common/CardSprite.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using K = EventKeyboard::KeyCode;

namespace {

using Codes = std::vector<int>;

// The column a player reads a card in: 3 ... K, A, 2, the black joker, the red joker.
int playerColumn(int code) {
    static const std::array<int, 14> kByRank = {11, 12, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13};
    return code == 53 ? 14 : kByRank.at(static_cast<std::size_t>(code / 4));
}

// The text between "cards":" and the next quote of a client line.
std::string cardsField(const std::string& line) {
    const std::string key = R"("cards":")";
    const std::size_t start = line.find(key) + key.size();
    return line.substr(start, line.find('"', start) - start);
}

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

class CardTrackerGameTest : public SceneTest {
protected:
    // What this test knows the player has seen: the table since the deal and its own sends.
    Codes m_table;
    Codes m_sentNotEchoed;

    void expectPanelAgrees(const DeskProbe& probe, const std::string& where) {
        std::array<int, 15> unseen{};
        for (int column = 0; column < 15; ++column) {
            unseen[static_cast<std::size_t>(column)] = column < 13 ? 8 : 2;
        }
        Codes seen = m_table;
        seen.insert(seen.end(), m_sentNotEchoed.begin(), m_sentNotEchoed.end());
        for (const CardSprite* card : probe.hand()) {
            seen.push_back(card->m_card);
        }
        for (int code : seen) {
            --unseen[static_cast<std::size_t>(playerColumn(code))];
        }
        for (int column = 0; column < 15; ++column) {
            ASSERT_EQ(probe.trackerPanel()->countText(column),
                      std::to_string(unseen[static_cast<std::size_t>(column)]))
                << "column " << column << " after " << where;
        }
    }

    // Raises one resting card of each code, the left-most, by a tap on its uncovered strip.
    static void raiseCodes(const DeskProbe& probe, const Codes& codes) {
        for (int code : codes) {
            const auto& hand = probe.hand();
            const auto card = std::find_if(hand.begin(), hand.end(), [code](CardSprite* c) {
                return c->m_card == code && c->getPositionY() == 45;
            });
            ASSERT_NE(card, hand.end()) << "no resting card " << code;
            tapCard(*card);
        }
    }

    void playRecordedGame(const std::string& file) {
        const std::vector<std::string> lines =
            readLines(std::string(DESK_RECORDED_GAMES) + "/" + file);
        ASSERT_GT(lines.size(), 20u);
        CDeskScene* desk = nullptr;
        int mySite = -1;
        int steps = 0;
        for (const std::string& line : lines) {
            const std::string text = line.substr(2);
            if (line.rfind("S ", 0) == 0) {
                stMsg msg;
                ASSERT_EQ(decodeMessage(text, msg), DecodeStatus::Ok) << text;
                if (msg.opt == "add") {
                    mySite = msg.site;
                    desk = startDesk(msg.desk, msg.site);
                    continue;
                }
                if (desk == nullptr) {
                    continue;
                }
                if (msg.opt == "start") {
                    m_table.clear();
                    m_sentNotEchoed.clear();
                }
                if (msg.opt == "game" && msg.per != -1) {
                    const Codes codes = parseCardList(msg.cards);
                    m_table.insert(m_table.end(), codes.begin(), codes.end());
                    if (msg.per == mySite) {
                        m_sentNotEchoed.clear();
                    }
                }
                feed(text);
            } else if (desk != nullptr) {
                if (text.find(R"("type":"leave")") != std::string::npos) {
                    break;
                }
                takeSent();
                if (text.find(R"("type":"ready")") != std::string::npos) {
                    headless::typeKey(K::KEY_R);
                } else if (text.find(R"("opt":"game")") != std::string::npos) {
                    const Codes codes = parseCardList(cardsField(text));
                    if (codes.empty()) {
                        headless::typeKey(K::KEY_BACKSPACE);
                    } else {
                        raiseCodes(DeskProbe{*desk}, codes);
                        headless::typeKey(K::KEY_ENTER);
                        m_sentNotEchoed = codes;
                    }
                }
                // The keys sent exactly what the recorded client sent.
                ASSERT_EQ(takeSent(), std::vector<std::string>{text});
            }
            if (desk != nullptr) {
                ++steps;
                ASSERT_NO_FATAL_FAILURE(expectPanelAgrees(DeskProbe{*desk}, text));
            }
        }
        EXPECT_GT(steps, 50);
    }
};

TEST_F(CardTrackerGameTest, AWholeGameOfTwentySevenCardsPlayedByKeys) {
    playRecordedGame("game-seed1-deal27.txt");
}

TEST_F(CardTrackerGameTest, ShortDealsPlayedByKeys) {
    playRecordedGame("game-seed2-deal5.txt");
}
