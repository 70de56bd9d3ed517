#pragma once
// When the client tries to reconnect to its server, and what the status line says meanwhile.
// Plain C++ with the time passed in (seconds on any steady clock), so the back-off is tested
// without a window or a socket; CReconnectPanel drives it from its timer and does the connecting.
//
//   phase       entered by                        left by
//   Up          start, linkUp()                   linkLost(t): first attempt due at t + 1 s
//   Waiting     linkLost, attemptFailed(t)        attemptStarted (when due, or the button at once)
//   Connecting  attemptStarted(t)                 attemptFailed (refused, or timed out after 5 s),
//                                                 linkOpened (the TCP connection is made)
//   Opened      linkOpened                        linkUp (the link's first record arrived),
//                                                 attemptFailed (it ended before one)
// The waits after failed attempts double from 2 s and stay at 30 s: 2, 4, 8, 16, 30, 30, ...
// While a game is kept (keepGame: the player sits at a desk in a game the server holds for
// them), no attempt lasts longer than kGameRetry and the next one starts kGameRetry after the
// last one began, so the player rejoins the desk within kGameRetry of the server being
// reachable again.
// A connection counts as up only once the server said something on it: a server that accepts
// and closes at once is a failed attempt, and the back-off goes on growing. The client keeps one
// schedule for the whole process (CReconnectPanel), not one per scene.

#include <string>

class CReconnectSchedule {
public:
    enum class Phase { Up, Waiting, Connecting, Opened };

    static constexpr double kFirstWait = 1;
    static constexpr double kShortestRetryWait = 2;
    static constexpr double kLongestWait = 30;
    static constexpr double kAttemptTimeout = 5;  // a connect that neither succeeds nor fails
    static constexpr double kGameRetry = 2;       // attempt to attempt while a game is kept

    // Whether the scene over the lost link holds a game the server keeps for the player.
    void keepGame(bool kept) { m_gameKept = kept; }
    void linkLost(double now);
    void attemptStarted(double now);
    void attemptFailed(double now);
    void linkOpened();
    void linkUp();

    Phase phase() const { return m_phase; }
    // Waiting and the wait is over.
    bool attemptDue(double now) const;
    // Connecting for longer than kAttemptTimeout (kGameRetry while a game is kept).
    bool attemptTimedOut(double now) const;
    // Whole seconds until the next attempt, rounded up; 0 unless Waiting.
    int secondsLeft(double now) const;
    // The status line: "与服务器断开连接" and what the client is doing about it (while a game is
    // kept, that the game waits for the player); empty when Up.
    std::string statusText(double now) const;

private:
    Phase m_phase = Phase::Up;
    double m_attemptAt = 0;                    // Waiting: when the next attempt is due
    double m_startedAt = 0;                    // Connecting: when the attempt began
    double m_nextRetryWait = kShortestRetryWait;  // the wait after the next failure
    bool m_failedBefore = false;               // an attempt of this outage has failed
    bool m_gameKept = false;
};
