#pragma once
// The hall's tests' kit: requests as the hall gets them once read, the tokens the tests use, and
// a hall driven as the server's loop drives it, whose texts are gathered by link.

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "server/hall/Hall.h"
#include "server/protocol/ClientRequest.h"
#include "tests/server/protocol/WireCheck.h"

namespace hallscript {

using server::ClientRequest;
using server::Hall;
using server::LinkId;
using server::Millis;
using Kind = ClientRequest::Kind;

inline const std::string kToken = "0123456789abcdef0123456789abcdef";
inline const std::string kOtherToken = "ffffffffffffffffffffffffffffffff";

inline ClientRequest request(Kind kind, int desk = -1, int seat = -1, std::vector<int> cards = {}) {
    ClientRequest made;
    made.kind = kind;
    made.desk = desk;
    made.seat = seat;
    made.cards = std::move(cards);
    return made;
}

inline ClientRequest helloRequest(const std::string& token,
                                  std::optional<std::string> name = std::nullopt) {
    ClientRequest made = request(Kind::Hello);
    made.token = token;
    made.name = std::move(name);
    return made;
}

inline ClientRequest nameRequest(std::string name) {
    ClientRequest made = request(Kind::Name);
    made.name = std::move(name);
    return made;
}

inline ClientRequest autoRequest(int desk, int seat, bool on) {
    ClientRequest made = request(Kind::Auto, desk, seat);
    made.on = on;
    return made;
}

// Whether one of the log's lines contains `text`.
inline bool logHas(const std::vector<std::string>& log, const std::string& text) {
    return std::any_of(log.begin(), log.end(), [&text](const std::string& line) {
        return line.find(text) != std::string::npos;
    });
}

// A script's steps, then more.
template <typename Step>
std::vector<Step> then(std::vector<Step> first, const std::vector<Step>& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

// A hall and its output. Each call takes the texts sent out of `out` (every one must decode for
// the client) and returns them by link; the rest of `out` (log, closes, jobs) stays until
// clearOutput().
class HallDriver {
public:
    using Texts = std::map<LinkId, std::vector<std::string>>;

    explicit HallDriver(server::HallConfig config) : hall(std::move(config)) {}

    Texts send(LinkId link, const ClientRequest& req, Millis at = Millis(0)) {
        hall.handle(link, req, at, out);
        return drain();
    }
    Texts drop(LinkId link, Millis at = Millis(0)) {
        hall.disconnect(link, at, out);
        return drain();
    }
    // Every timer of `desk` due by `at`, each run at `at`, as a loop that woke late runs them.
    Texts runDesk(int desk, Millis at) {
        while (hall.deskDeadline(desk) && *hall.deskDeadline(desk) <= at) {
            hall.advanceDesk(desk, at, out);
        }
        return drain();
    }
    // The same, each at its own time.
    Texts runDeskOnTime(int desk, Millis at) {
        while (hall.deskDeadline(desk) && *hall.deskDeadline(desk) <= at) {
            hall.advanceDesk(desk, *hall.deskDeadline(desk), out);
        }
        return drain();
    }
    // The texts sent so far, by link.
    Texts drain() {
        Texts got;
        for (Hall::Send& sent : out.sends) {
            stMsg msg;
            EXPECT_TRUE(decodesForClient(sent.text, msg));
            got[sent.link].push_back(std::move(sent.text));
        }
        out.sends.clear();
        return got;
    }
    void clearOutput() { out = Hall::Output{}; }

    Hall hall;
    Hall::Output out;
};

// What `link` got of `texts` (nothing when it got nothing).
inline std::vector<std::string> textsOf(const HallDriver::Texts& texts, LinkId link) {
    const auto found = texts.find(link);
    return found == texts.end() ? std::vector<std::string>{} : found->second;
}

}  // namespace hallscript
