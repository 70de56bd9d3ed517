#pragma once
// The hall: every connected person, the desks, and the routing of requests between them.
// Pure like the desks (no sockets, time passed in): the network layer feeds it requests and
// delivers what it answers.
//
//   request   effect
//   query     "query" with the number of connected persons and the client version
//   add       seats the person at the first desk with a free seat and no game running (a new
//             desk when there is none) and names them prefix + number; ignored when seated
//   ready,    passed to the person's desk, but only when desk and site are the person's own;
//   leave,    otherwise ignored
//   game
// A disconnect is a leave. Desks are numbered from 0 and kept for reuse once empty.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "server/game/DeskGame.h"
#include "server/protocol/ClientRequest.h"

namespace server {

struct HallConfig {
    DeskConfig desk;
    std::string namePrefix = "player";
    std::uint64_t seed = 0;  // desks derive their shuffles from it
};

class Hall {
public:
    struct Send {
        PersonId person = 0;
        std::string text;
    };
    struct Output {
        std::vector<Send> sends;
        std::vector<int> touchedDesks;  // desks whose next deadline may have moved
        std::vector<std::string> log;
        std::vector<BotJob> botJobs;  // decisions for the caller to make and answer (botDecided)
    };

    explicit Hall(const HallConfig& config);

    void connect(PersonId person);
    void disconnect(PersonId person, Millis now, Output& out);
    void handle(PersonId person, const ClientRequest& request, Millis now, Output& out);
    // Runs the desk's due timers.
    void advanceDesk(int desk, Millis now, Output& out);
    // The answer to one of Output::botJobs.
    void botDecided(const BotJob& job, std::vector<int> cards, Millis now, Output& out);
    // Opens a desk of four computer players that play each other, game after game (load tests).
    void openBotDesk(Millis now, Output& out);

    std::optional<Millis> deskDeadline(int desk) const;
    std::size_t online() const { return m_people.size(); }
    std::size_t deskCount() const { return m_desks.size(); }
    const DeskGame& desk(int number) const { return *m_desks[number]; }

private:
    struct Place {
        int desk = -1;
        int seat = -1;
    };

    DeskGame& openDesk();
    DeskGame& newDesk();
    void collect(int desk, Output& out);

    HallConfig m_config;
    std::unordered_map<PersonId, Place> m_people;
    std::vector<std::unique_ptr<DeskGame>> m_desks;
    std::uint64_t m_nextName = 1;
    DeskOutput m_deskOut;  // reused for every desk call
};

}  // namespace server
