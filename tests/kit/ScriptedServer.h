#pragma once
// The stand-in game server of the tests and the client benchmark, on a loopback address. Two
// ways to drive it:
//  - step by step from the test's own thread (accept, send exactly the segments wanted, read,
//    close or reset): one connection, for the link's tests;
//  - a script on a thread of its own: play() accepts one client (and then listens no more, so
//    reconnect attempts are refused), writes a prepared byte stream as fast as the client takes
//    it and ends it the prepared way; serve() accepts every connection, greets each with the same
//    texts and sends more to the latest on request. Either way it keeps reading, and recording,
//    the frames the client sends.
// Every wait is bounded so a stuck client fails the test instead of hanging it.
//
// Play's "half-close" shuts the write side down: the client's receiver sees the end of the stream
// exactly as after a close, while the client's own texts (queries, a turn that ran out) still
// land, so the boxes a test expects come from the receive path alone.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "net/Socket.h"

class ScriptedServer {
public:
    // Listens on `host` (dotted IPv4 on loopback) at `port`, or at a free port when 0; port() is
    // 0 when the port could not be had.
    explicit ScriptedServer(std::uint16_t port = 0) : ScriptedServer("127.0.0.1", port) {}
    explicit ScriptedServer(const std::string& host, std::uint16_t port = 0);
    ~ScriptedServer();  // stop() and close()
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    std::uint16_t port() const { return m_port; }

    // Step by step, test thread, no script running.
    // Waits for the client's connection.
    bool accept(int timeoutMs = 5000);
    // One write of all of `bytes`. With Nagle off, a write after a pause is its own segment.
    bool send(std::string_view bytes);
    // Reads until `size` bytes arrived, the peer closed, or the time ran out.
    std::string receive(std::size_t size, int timeoutMs = 5000);
    // True when the client shut its side down within the time (pending bytes are discarded).
    bool peerClosed(int timeoutMs = 5000);
    // Bytes waiting from the client right now, without reading them.
    std::size_t pending() const;
    void close();  // orderly close: the client reads end of stream
    void reset();  // abortive close: the client gets a connection reset

    // A script on the server's thread. Test thread; one of play() or serve(), once.
    enum class Ending {
        KeepOpen,   // nothing more; the connection stays open until stop()
        HalfClose,  // end of stream after the last byte written
    };
    void play(std::string stream, Ending ending);
    // Texts sent, in order, to every connection serve() accepts from then on (empty: none).
    void setGreeting(const std::vector<std::string>& texts);
    void serve();
    // Sends texts to the latest connection; false when there is none or it failed. Any thread.
    bool sendFrames(const std::vector<std::string>& texts);
    // Connections accepted so far, bytes of the first one's stream written so far, and whether
    // its whole stream and ending have been written. Any thread.
    int connections() const { return m_accepted; }
    std::size_t written() const { return m_written; }
    bool finished() const { return m_finished; }
    // The frames' texts the clients sent so far, in order. Any thread.
    std::vector<std::string> received() const;
    // Ends the script's thread and closes its connections. Test thread; idempotent.
    void stop();

private:
    struct Link;
    void start(bool acceptOnce, Ending ending);
    void run();  // the script's thread
    void acceptLink();  // the script's thread, holding m_mutex
    void readFrom(Link& link);  // the script's thread, holding m_mutex
    void writeTo(Link& link);  // holding m_mutex

    std::uint16_t m_port = 0;  // set while m_listener is made, so declared before it
    SocketHandle m_listener = kNoSocket;
    SocketHandle m_peer = kNoSocket;  // step by step
    bool m_acceptOnce = false;
    Ending m_ending = Ending::KeepOpen;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_accepted{0};
    std::atomic<std::size_t> m_written{0};
    std::atomic<bool> m_finished{false};
    mutable std::mutex m_mutex;  // guards the members below
    std::string m_greeting;
    std::vector<std::unique_ptr<Link>> m_links;  // only added to while the script runs
    std::vector<std::string> m_received;
};

// One frame: the 4-byte little-endian length, then the text.
std::string frameOf(std::string_view text);
// Only a length header, for frames whose body is sent separately or never.
std::string headerOf(std::uint32_t length);
