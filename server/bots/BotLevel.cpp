#include "server/bots/BotLevel.h"

#include "server/bots/Bot.h"
#include "server/bots/NormalBot.h"
#include "server/bots/SearchBot.h"

namespace server {

bool parseBotLevel(std::string_view text, BotLevel& level) {
    for (BotLevel candidate : {BotLevel::Easy, BotLevel::Normal, BotLevel::Hard}) {
        if (text == botLevelName(candidate)) {
            level = candidate;
            return true;
        }
    }
    return false;
}

const char* botLevelName(BotLevel level) {
    switch (level) {
        case BotLevel::Easy:
            return "easy";
        case BotLevel::Normal:
            return "normal";
        case BotLevel::Hard:
            return "hard";
    }
    return "";
}

std::vector<int> decideBotPlay(BotLevel level, const Round& round, int seat,
                               const SearchBudget& budget, std::uint64_t seed) {
    const SeatView view(round, seat);
    switch (level) {
        case BotLevel::Easy: {
            const BotView easy{view.hand(), view.lastPlay(), view.partnerMadeLastPlay(),
                               view.tablePoints(), view.fewestOpponentCards()};
            return chooseBotPlay(easy);
        }
        case BotLevel::Normal:
            return chooseNormalPlay(view);
        case BotLevel::Hard:
            return chooseSearchPlay(view, budget, seed);
    }
    return {};
}

}  // namespace server
