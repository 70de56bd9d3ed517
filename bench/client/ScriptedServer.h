#pragma once
// A stand-in game server for the client benchmark: it listens on host:port (loopback), keeps
// every connection open, reads and drops whatever the client sends, and sends scripted texts,
// so each measured phase shows the client exactly the screens it is meant to measure.
// Its own thread accepts and reads; send() may be called from any thread.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ScriptedServer {
public:
    ~ScriptedServer();

    // Listens; false with the system's reason (for instance the port is taken).
    bool start(const std::string& host, unsigned short port, std::string& error);
    void stop();

    // Texts sent, in order, to every connection as soon as it is accepted (empty: none).
    void setGreeting(std::vector<std::string> texts);
    // Sends texts to the most recent connection; false when there is none.
    bool send(const std::vector<std::string>& texts);
    int connections() const { return m_accepted.load(); }

private:
    void serve();
    bool sendTo(int fd, const std::vector<std::string>& texts);

    int m_listenFd = -1;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_accepted{0};
    std::mutex m_mutex;  // guards the members below
    std::vector<std::string> m_greeting;
    std::vector<int> m_clients;
};
