#pragma once
// Another person at the test client's desk, on its own raw link straight to the server: it
// readies for every game, hands its seat to the server's computer player (托管) as soon as the
// cards are dealt (unless told not to), and keeps the desk's public record: every seat's plays in
// each game, the final scores, the results and any "run". A test holds what the client shows
// against it. Runs on its own thread; the test reads copies of the record.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class DeskObserver {
public:
    struct Game {
        std::array<std::vector<int>, 4> played;  // every card each seat played, in order
        std::array<int, 4> left{-1, -1, -1, -1};  // cards left, as the last "game" said
        bool over = false;
        bool seatsShownAfter = false;           // a "change" came after the game's end
        std::array<std::string, 4> namesAfter;  // the seats that "change" showed
        int p0 = 0;  // the last "score" of the game
        int p1 = 0;
    };
    struct Record {
        int desk = -1;
        int site = -1;
        std::vector<Game> games;  // one per deal, the running one last
        int runs = 0;             // "run" messages: a person left a running game
        std::array<std::string, 4> names;  // as the last "change" showed the seats
        std::string lastText;     // for failure messages
    };

    DeskObserver() = default;
    DeskObserver(const DeskObserver&) = delete;
    DeskObserver& operator=(const DeskObserver&) = delete;
    ~DeskObserver();

    struct Options {
        std::string token;     // sent in a hello first when not empty (the seat is then held)
        bool autoPlay = true;  // 托管 at every deal; otherwise the seat's turns wait for the server
    };
    // Connects to 127.0.0.1:port and asks for a seat; false when the link cannot be had.
    bool start(std::uint16_t port, const Options& options);
    Record record() const;
    // The observer's link is still up.
    bool linked() const { return m_linked; }

private:
    void run();
    void handle(const std::string& text);

    Options m_options;
    int m_socket = -1;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_linked{false};
    mutable std::mutex m_mutex;
    Record m_record;  // under m_mutex
    std::thread m_thread;
};
