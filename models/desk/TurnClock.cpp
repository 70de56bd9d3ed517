#include "models/desk/TurnClock.h"

#include <algorithm>

#include "net/Message.h"
#include "wire/GameConstants.h"

namespace {

using std::chrono::milliseconds;

long long ageMilliseconds(const stMsg& msg, TurnClockTime now) {
    return std::max<long long>(0,
                               std::chrono::duration_cast<milliseconds>(now - msg.arrived).count());
}

}  // namespace

int recordAgeSeconds(const stMsg& msg, TurnClockTime now) {
    return static_cast<int>(std::min<long long>(ageMilliseconds(msg, now) / 1000, kTurnSeconds));
}

int turnStartSeconds(const stMsg& game, TurnClockTime now) {
    return kTurnSeconds - recordAgeSeconds(game, now);
}

int resumedTurnSeconds(const stMsg& resume, TurnClockTime now) {
    const long long kTurnMs = 1000LL * kTurnSeconds;
    const long long left =
        std::clamp<long long>(resume.left, 0, kTurnMs) - ageMilliseconds(resume, now);
    return static_cast<int>((std::max<long long>(left, 0) + 999) / 1000);
}
