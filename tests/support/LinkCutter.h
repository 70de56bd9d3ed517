#pragma once
// A loopback TCP relay between clients and a server that a test can cut, as a dropped Wi-Fi or a
// router gone dead would: cut() closes every link through it at once, at both ends, while the
// relay keeps accepting new links (so the client can come back). One thread relays everything
// with poll(); bytes in flight when a cut comes may or may not have reached the other side,
// exactly as on a real network. POSIX only.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LinkCutter {
public:
    // Relays to 127.0.0.1:serverPort from `listenHost`:`listenPort` (a free port for 0); check
    // listening().
    explicit LinkCutter(std::uint16_t serverPort, const std::string& listenHost = "127.0.0.1",
                        std::uint16_t listenPort = 0);
    LinkCutter(const LinkCutter&) = delete;
    LinkCutter& operator=(const LinkCutter&) = delete;
    // Closes every link and the listener, and joins the relay thread.
    ~LinkCutter();

    bool listening() const { return m_port != 0; }
    std::uint16_t port() const { return m_port; }
    // Any thread: closes every open link (both ends), and returns once they are closed.
    void cut();
    // Links accepted so far, and links open now.
    std::size_t linksMade() const { return m_linksMade; }
    std::size_t linksOpen() const { return m_linksOpen; }

private:
    struct Link {
        int client = -1;
        int server = -1;
    };

    void relay();
    void acceptLink();
    // Moves what one side sent to the other; false when the link is over.
    static bool pass(int from, int to);
    void closeAll();

    std::uint16_t m_serverPort = 0;
    std::uint16_t m_port = 0;
    int m_listener = -1;
    int m_wakeRead = -1;  // cut() and the destructor write a byte here to wake the relay
    int m_wakeWrite = -1;
    std::vector<Link> m_links;  // relay thread only
    std::atomic<std::size_t> m_linksMade{0};
    std::atomic<std::size_t> m_linksOpen{0};
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::uint64_t m_cutsAsked = 0;  // under m_mutex
    std::uint64_t m_cutsDone = 0;   // under m_mutex
    bool m_stopping = false;        // under m_mutex
    std::thread m_thread;
};
