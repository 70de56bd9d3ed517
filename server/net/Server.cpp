#include "server/net/Server.h"

#include <cstdio>

#include "server/platform/ProcessControl.h"
#include "server/protocol/ClientRequest.h"

namespace server {

Server::Server(asio::io_context& io, const ServerConfig& config)
    : m_io(io),
      m_config(config),
      m_listener(io, [this](asio::ip::tcp::socket socket) { onAccept(std::move(socket)); }),
      m_hall(config.hall),
      m_pump(io),
      m_tidy(io),
      m_workers(io, config.botThreads,
                [this](const BotJob& job, std::vector<int> cards) {
                    onBotDecided(job, std::move(cards));
                }),
      m_records(io, [this](const std::string& line) { log(line); }) {}

bool Server::start(std::string& error) {
    if (!m_records.start(m_config.records, error)) {
        return false;
    }
    m_hall.setRecordsKept(m_records.keeping());
    if (!m_listener.open(m_config.host, m_config.port, error)) {
        return false;
    }
    log("listening on " + m_config.host + ":" + std::to_string(port()) + ", computer players " +
        botLevelName(m_config.hall.desk.botLevel));
    for (int i = 0; i < m_config.botDesks; ++i) {
        m_hall.openBotDesk(now(), m_out);
    }
    deliver();
    armTidy();
    return true;
}

void Server::stop() {
    log("stopping, closing " + std::to_string(m_sessions.size()) + " connection(s)");
    m_stopped = true;
    m_workers.stop();
    log("bot searches: " + std::to_string(m_workers.searched()) + " made, " +
        std::to_string(m_workers.dropped()) + " dropped as stale");
    m_listener.close();
    // Closing posts each session's onClosed; take the map first so they find nothing to undo.
    auto sessions = std::move(m_sessions);
    m_sessions.clear();
    m_perAddress.clear();
    for (auto& [id, session] : sessions) {
        session->close("server stopping");
    }
    for (auto& timer : m_deskTimers) {
        timer->cancel();
    }
    m_pump.cancel();
    m_tidy.cancel();
    m_dueDesks.clear();
    m_records.stop();
}

void Server::onAccept(asio::ip::tcp::socket socket) {
    asio::error_code error;
    const auto endpoint = socket.remote_endpoint(error);
    const std::string address = error ? "unknown peer" : endpoint.address().to_string();
    if (const char* why = refusal(address)) {
        log("connection from " + address + " refused: " + why);
        socket.close(error);
        return;
    }
    const std::uint64_t id = m_nextId++;
    auto session = std::make_shared<Session>(std::move(socket), id,
                                             static_cast<Session::Owner&>(*this), m_config.limits);
    m_sessions.emplace(id, session);
    ++m_perAddress[session->address()];
    m_hall.connect(id, session->address());
    log("connection " + std::to_string(id) + " from " + session->peer() + " opened");
    session->start();
}

void Server::onFrame(Session& session, std::string& text) {
    if (m_config.logMessages) {
        log("from " + std::to_string(session.id()) + ": " + text);
    }
    const std::optional<ClientRequest> request = parseClientRequest(text);
    if (!request) {
        session.close("malformed message");
        return;
    }
    m_hall.handle(session.id(), *request, now(), m_out);
    deliver();
}

void Server::onClosed(Session& session, const std::string& reason) {
    if (m_sessions.erase(session.id()) == 0) {
        return;
    }
    log("connection " + std::to_string(session.id()) + " closed: " + reason);
    const auto counted = m_perAddress.find(session.address());
    if (counted != m_perAddress.end() && --counted->second == 0) {
        m_perAddress.erase(counted);
    }
    m_hall.disconnect(session.id(), now(), m_out);
    deliver();
}

bool Server::inGame(const Session& session) const { return m_hall.inGame(session.id()); }

const char* Server::refusal(const std::string& address) const {
    if (m_sessions.size() >= m_config.maxConnections) {
        return "too many connections";
    }
    const auto counted = m_perAddress.find(address);
    if (counted != m_perAddress.end() && counted->second >= m_config.maxPerAddress) {
        return "too many connections from this address";
    }
    return nullptr;
}

void Server::deliver() {
    for (const Hall::Send& send : m_out.sends) {
        auto found = m_sessions.find(send.link);
        if (found != m_sessions.end()) {
            if (m_config.logMessages) {
                log("to " + std::to_string(send.link) + ": " + send.text);
            }
            found->second->send(send.text);
        }
    }
    for (const std::string& line : m_out.log) {
        log(line);
    }
    for (LinkId link : m_out.closeLinks) {
        // The hall has already given the person to the new link: this close is no leave.
        const auto found = m_sessions.find(link);
        if (found != m_sessions.end()) {
            found->second->close("replaced by a new link");
        }
    }
    for (LinkId link : m_out.restartIdle) {
        const auto found = m_sessions.find(link);
        if (found != m_sessions.end()) {
            found->second->restartIdle();
        }
    }
    for (int desk : m_out.touchedDesks) {
        armDesk(desk);
    }
    dropDeskTimers();
    for (BotJob& job : m_out.botJobs) {
        m_workers.submit(std::move(job));
    }
    // Jobs whose turn has moved on, or whose desk has gone, are dropped before they are searched.
    for (int desk : m_out.touchedDesks) {
        m_workers.setAwaited(desk, m_hall.hasDesk(desk) ? m_hall.desk(desk).awaitedJob()
                                                        : std::nullopt);
    }
    for (const FinishedDeskGame& game : m_out.finished) {
        m_records.submit(game, now());
    }
    for (const Hall::Lookup& asked : m_out.lookups) {
        m_records.lookup(asked, [this, link = asked.link](std::string text) {
            onLookupAnswered(link, text);
        });
    }
    m_out.botJobs.clear();
    m_out.finished.clear();
    m_out.lookups.clear();
    m_out.sends.clear();
    m_out.log.clear();
    m_out.touchedDesks.clear();
    m_out.closeLinks.clear();
    m_out.restartIdle.clear();
}

void Server::onBotDecided(const BotJob& job, std::vector<int> cards) {
    if (m_stopped) {
        return;
    }
    m_hall.botDecided(job, std::move(cards), now(), m_out);
    deliver();
}

void Server::onLookupAnswered(LinkId link, const std::string& text) {
    if (m_stopped) {
        return;
    }
    const auto found = m_sessions.find(link);
    if (found != m_sessions.end()) {
        if (m_config.logMessages) {
            log("to " + std::to_string(link) + ": " + text);
        }
        found->second->send(text);
    }
}

void Server::armDesk(int desk) {
    if (m_stopped) {
        return;  // a desk's timer may have fired just before stop(): it must not arm again
    }
    while (static_cast<int>(m_deskTimers.size()) <= desk) {
        m_deskTimers.push_back(std::make_unique<asio::steady_timer>(m_io));
        m_deskArmedFor.emplace_back();
        m_deskQueued.push_back(false);
    }
    const std::optional<Millis> deadline = m_hall.deskDeadline(desk);
    if (deadline && *deadline <= now()) {
        m_deskArmedFor[desk].reset();
        m_deskTimers[desk]->cancel();
        queueDesk(desk);
        return;
    }
    if (deadline == m_deskArmedFor[desk]) {
        return;
    }
    m_deskArmedFor[desk] = deadline;
    asio::steady_timer& timer = *m_deskTimers[desk];
    if (!deadline) {
        timer.cancel();
        return;
    }
    timer.expires_at(m_epoch + *deadline);
    timer.async_wait([this, desk](const asio::error_code& error) {
        if (error || m_stopped || desk >= static_cast<int>(m_deskArmedFor.size())) {
            return;  // re-armed, cancelled or dropped, or completed just before stop()
        }
        m_deskArmedFor[desk].reset();
        queueDesk(desk);
    });
}

void Server::dropDeskTimers() {
    while (m_deskTimers.size() > m_hall.deskCount() && !m_deskQueued.back()) {
        m_deskTimers.pop_back();  // its wait is cancelled
        m_deskArmedFor.pop_back();
        m_deskQueued.pop_back();
    }
    if (m_deskTimers.capacity() > 2 * m_deskTimers.size() + 64) {
        m_deskTimers.shrink_to_fit();
        m_deskArmedFor.shrink_to_fit();
        m_deskQueued.shrink_to_fit();
    }
}

void Server::queueDesk(int desk) {
    if (!m_deskQueued[desk]) {
        m_deskQueued[desk] = true;
        m_dueDesks.push_back(desk);
    }
    armPump();
}

void Server::armPump() {
    if (m_pumpArmed) {
        return;
    }
    m_pumpArmed = true;
    // Due at once, yet through the reactor: what is ready on the sockets goes first.
    m_pump.expires_at(asio::steady_timer::time_point{});
    m_pump.async_wait([this](const asio::error_code& error) {
        m_pumpArmed = false;
        if (!error && !m_stopped) {
            runDueDesks();
        }
    });
}

void Server::runDueDesks() {
    const auto until = std::chrono::steady_clock::now() + kDeskSlice;
    while (!m_dueDesks.empty() && !m_stopped) {
        const int desk = m_dueDesks.front();
        m_dueDesks.pop_front();
        m_deskQueued[desk] = false;
        m_hall.advanceDesk(desk, now(), m_out);
        deliver();  // re-arms the desk: back in the queue when its next play is due at once
        if (std::chrono::steady_clock::now() >= until) {
            break;
        }
    }
    if (!m_dueDesks.empty() && !m_stopped) {
        armPump();
    }
}

void Server::armTidy() {
    m_tidy.expires_after(kTidyEvery);
    m_tidy.async_wait([this](const asio::error_code& error) {
        if (error || m_stopped) {
            return;
        }
        m_hall.tidy(now());
        m_sessions.rehash(0);
        m_perAddress.rehash(0);
        returnFreeMemory();
        armTidy();
    });
}

Millis Server::now() const {
    return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - m_epoch);
}

void Server::log(const std::string& line) const {
    if (m_config.log) {
        std::fprintf(stderr, "desk-server: %s\n", line.c_str());
    }
}

}  // namespace server
