#pragma once
// A misbehaving game server for the hostile-input tests: on a thread of its own it accepts one
// client on a loopback address (and then listens no more, so reconnect attempts are refused),
// writes a prepared byte stream and then ends it the prepared way,
// while it keeps reading (and recording) whatever the client sends. Plain POSIX sockets; every
// wait is bounded so a stuck client fails the test instead of hanging it.
//
// "Closing" here is a half-close (shutdown of the write side): the client's receiver sees the
// end of the stream exactly as after a close, while the client's own texts (queries, a turn that
// ran out) still land, so the boxes a test expects come from the receive path alone.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/Socket.h"
#include "wire/Framing.h"

class ScriptedServer {
public:
    enum class Ending {
        KeepOpen,   // nothing more; the connection stays open until stop()
        HalfClose,  // end of stream after the last byte written
    };

    // Listens on `host` (a loopback IPv4 address) at a free port; port() is 0 on failure.
    explicit ScriptedServer(const std::string& host);
    ~ScriptedServer();  // stop()
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    std::uint16_t port() const { return m_port; }

    // Starts the thread: accept, write `stream` as fast as the client takes it, then `ending`,
    // then read the client until stop(). Test thread; once.
    void play(std::string stream, Ending ending);
    // Bytes of `stream` written so far (any thread).
    std::size_t written() const { return m_written; }
    // True once the whole stream and the ending have been written.
    bool finished() const { return m_finished; }
    // The frames' texts the client sent so far, in order (any thread).
    std::vector<std::string> received() const;
    // Ends the thread and closes every socket. Test thread; idempotent.
    void stop();

private:
    void run(const std::string& stream, Ending ending);  // server thread
    // Waits up to 50 ms for the peer; reads what the client sent; true when it may write.
    bool service(bool wantWrite);  // server thread

    std::uint16_t m_port = 0;  // set while m_listener is made, so declared before it
    SocketHandle m_listener = kNoSocket;  // closed by the server thread once it has its client
    SocketHandle m_peer = kNoSocket;  // server thread, then stop() after the join
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<std::size_t> m_written{0};
    std::atomic<bool> m_finished{false};
    mutable std::mutex m_mutex;
    framing::FrameAssembler m_fromClient;  // server thread
    std::vector<std::string> m_received;   // guarded by m_mutex
};
