#pragma once
// The client's one link to the game server: the TCP connection, the receiver thread, and the
// queue of decoded server messages that the scenes poll.
//
// Two threads meet here. The receiver thread (started by connect, detached, never joined) reads
// one frame at a time, decodes it into a fresh stMsg and appends it to the queue; the main thread
// sends texts synchronously and takes records with popMsg. The queue, under m_mutex, is all they
// share. The queue holds at most kMaxQueued records, and at most kMaxQueuedTextBytes of their
// texts (a frame may be 1 MiB, so the count alone would let a server park 4 GiB here): when
// either is reached the receiver thread waits for room and stops reading, so TCP slows the
// server down and nothing is lost. A record larger than the whole byte budget still enters an
// empty queue.
//
// The instance is created on first use and never destroyed, so the receiver thread can never
// touch a destroyed queue while the process exits; call shutdown() before a normal exit so that
// the thread ends quietly instead of reporting a lost connection.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>

#include "net/Message.h"
#include "net/Socket.h"

class CMessageQueue {
public:
    static constexpr std::uint16_t kServerPort = 9999;
    static constexpr std::size_t kMaxQueued = 4096;
    static constexpr std::size_t kMaxQueuedTextBytes = std::size_t{4} << 20;

    // Any thread; created on the first call (safe against concurrent first calls).
    static CMessageQueue* getInstance();

    // ---- Connection (main thread)
    // Connects to the configuration's "host" on kServerPort and starts the receiver thread.
    // False when no socket could be made or the connection failed; nothing is shown then.
    bool connectServer();
    // The same with an explicit endpoint; connectServer calls it, tests use it directly.
    bool connectServerAt(const std::string& host, std::uint16_t port);
    // Sends one text as one frame. False, after the box "断开连接，请重新登录!", when the socket
    // refused it. With a send tap set, the text goes to the tap instead and the result is true.
    bool sendMsg(const std::string& text);
    // For scene tests: capture the texts the scenes send instead of writing them to the socket.
    // An empty function sends through the socket again.
    void setSendTap(std::function<void(const std::string&)> tap);
    // Before a normal exit: shuts the socket down; the receiver thread then ends without a box
    // and queues nothing more.
    void shutdown();

    // ---- Queue
    // Main thread: the oldest record, removed from the queue, or an empty pointer; never waits.
    std::shared_ptr<stMsg> popMsg();
    // Appends a complete record at the back, waiting while the queue is full (dropped after
    // shutdown). The receiver thread's append; scene tests call it on the main thread to feed
    // records, and must then leave room (a full queue would block them).
    void pushMsg(std::shared_ptr<stMsg> msg);
    // Any thread: the records queued now, and the bytes of their texts (what the budget counts).
    std::size_t queuedCount();
    std::size_t queuedTextBytes();

    // ---- Receiver thread
    // Reads one whole frame's text into `text`, reusing its storage. False, after its box, when
    // the connection failed or the length is refused (0 or above framing::kMaxFrameBytes).
    bool recvFrame(std::string& text);
    // The receiver thread's body: frames until the connection fails or a text is not JSON.
    void recvThread();

private:
    CMessageQueue();

    bool failReceive(const char* text);              // receiver thread
    [[noreturn]] void refuseVersion();               // receiver thread

    std::list<std::shared_ptr<stMsg>> m_msgList;  // oldest first; guarded by m_mutex
    std::size_t m_queuedTextBytes = 0;             // texts of m_msgList; guarded by m_mutex
    std::mutex m_mutex;
    std::condition_variable m_queueRoom;  // popMsg and shutdown wake a waiting pushMsg
    SocketHandle m_socket = kNoSocket;    // written once, before the receiver thread starts
    std::atomic<bool> m_stopping{false};  // set by shutdown(), under m_mutex for pushMsg's wait
    std::string m_downloadAddress;        // for the version box; set before the thread starts
    std::function<void(const std::string&)> m_sendTap;  // main thread only
    std::string m_sendBuffer;                           // main thread; reused for every frame
};
