#pragma once
// One client connection: frames in, frames out, and the limits that keep one bad peer from
// hurting anyone else. Runs on the server's single event-loop thread, like every handler here.
//
//   what the peer does                              what happens
//   a frame length of 0 or above 16 KiB             connection closed ("bad frame length")
//   more frames than the rate allows (a flood)      connection closed ("flood")
//   stops reading until its queue passes the bound  connection closed ("send queue full")
//   sends nothing for idleTimeout, in no game       connection closed ("idle")
//   leaves a frame unfinished for frameTimeout      connection closed ("frame too slow")
//   closes or resets (keep-alive finds a vanished   connection closed
//   peer)
// The input side's limits (frame length, rate) are SessionInput's, which needs no socket.
// The owner judges each text (malformed JSON, unknown requests) and may close the session too.
// Closing is idempotent; the owner hears of it once, from a handler posted to the loop, never
// from inside its own call into the session.

#include <array>
#include <asio.hpp>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "server/net/SessionInput.h"

namespace server {

class Session : public std::enable_shared_from_this<Session> {
public:
    class Owner {
    public:
        // One whole received text; the owner may move from it.
        virtual void onFrame(Session& session, std::string& text) = 0;
        virtual void onClosed(Session& session, const std::string& reason) = 0;
        // Whether the session's person is in a running game, where silence is no sign of death.
        virtual bool inGame(const Session& session) const = 0;

    protected:
        ~Owner() = default;
    };

    Session(asio::ip::tcp::socket socket, std::uint64_t id, Owner& owner,
            const SessionLimits& limits);

    void start();
    // Queues one text as a frame; ignored once closed.
    void send(std::string_view text);
    void close(const std::string& reason);
    // The idle deadline runs again from now (the person's game ended, or their seat was resumed);
    // a frame's deadline in progress is kept.
    void restartIdle();

    std::uint64_t id() const { return m_id; }
    const std::string& peer() const { return m_peer; }  // address and port
    const std::string& address() const { return m_address; }
    bool closed() const { return m_closed; }

private:
    void readMore();
    void onRead(const asio::error_code& error, std::size_t bytes);
    void writeMore();
    // After each read: the frame deadline while a frame is incomplete, else the idle one.
    void armDeadline();
    void onDeadline();

    asio::ip::tcp::socket m_socket;
    std::uint64_t m_id = 0;
    Owner& m_owner;
    SessionLimits m_limits;
    std::string m_peer;
    std::string m_address;
    SessionInput m_input;                   // frames, length refusal and the rate limit
    std::array<char, 4096> m_readBuffer{};  // client texts are small; frames span reads
    std::string m_text;                     // the frame being handed to the owner
    std::string m_writing;                  // bytes of the write in flight
    std::string m_pending;                  // frames queued behind it
    bool m_closed = false;
    bool m_flushPosted = false;  // a write is about to start for what m_pending holds
    asio::steady_timer m_deadline;
    bool m_frameStarted = false;  // the deadline armed is a frame's, set when its first bytes came
};

}  // namespace server
