#pragma once
// The box that tells the player the server link was lost: at most one per lost link, shown on a
// thread of its own. A system box holds the thread that shows it until the player dismisses it;
// here that thread is neither the receiver (whose end starts the reconnection) nor the main
// thread (which draws, and reconnects), so nothing the client does waits for the player. While a
// box is still up, a later loss shows none: the player has one in front of them already.
//
//   call        thread   does
//   arm()       main     a new link opens: its loss may be told
//   tell(text)  any      the first call after arm() shows `text`, unless a box is still up
//   release()   main     before exit: collects a closed box's thread, lets an open one go

#include <atomic>
#include <mutex>
#include <thread>

class LinkLossBox {
public:
    void arm();
    // `text` outlives the box: a string literal.
    void tell(const char* text);
    void release();

private:
    std::mutex m_mutex;
    std::thread m_thread;             // the last box's; guarded by m_mutex
    std::atomic<bool> m_told{true};   // this link's loss was told (nothing to tell before a link)
    std::atomic<bool> m_open{false};  // a box is up
};
