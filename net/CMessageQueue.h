#pragma once
// The client's one link to the game server: the TCP connection, the receiver thread, and the
// queue of decoded server messages that the scenes poll.
//
// Two threads meet here. The receiver thread (started by a connect, joined by the next one) reads
// one frame at a time, decodes it into a fresh stMsg and appends it to the queue; the main thread
// sends texts synchronously and takes records with popMsg (in the client, CMessagePump alone). The
// queue, under m_mutex, is all they share, with the flag that says the receiver has ended. The
// queue holds at most kMaxQueued records, and at most kMaxQueuedTextBytes of their texts (a frame
// may be 1 MiB, so the count alone would let a server park 4 GiB here): when either is reached the
// receiver thread waits for room and stops reading, so TCP slows the server down and nothing is
// lost. A record larger than the whole byte budget still enters an empty queue.
//
// Every link begins with the player's hello (when a token was given): the queue sends it itself,
// right after connecting and before any scene can send, so the server knows the person first.
// A server from before the hello may close every link that carries one: after
// kSilentHelloLinks links in a row that carried the hello and delivered nothing, the next goes
// without it, and when that one delivers, no link of this process carries the hello again.
// Each record carries the steady-clock time its frame arrived, so a scene that handles it late
// knows how late it is.
//
// Link life, as the main thread sees it:
//   state      entered by                              sendMsg
//   opened     connectServer / pollReconnect           sends; a refusal ends the link quietly
//              Connected; the hello is sent
//   delivered  the receiver queued the link's first    sends; a refusal ends the link: the
//              record (linkDelivered)                   socket is shut down, which ends the
//                                                       receiver, and the loss is told
//   down       a send was refused, or the receiver     fails quietly, sending nothing: the
//              stopped reading                          player has been told (or never saw the
//                                                       link work)
//   ended      the receiver thread returned; the       fails quietly
//              socket is shut down already
//   opened     beginReconnect, then pollReconnect      sends on the new socket
//   again      Connected: old thread joined, old
//              socket closed, stale records dropped
// A lost link is told in one box at most, on a thread of its own (LinkLossBox): the receiver
// ends at once and the reconnection starts whether or not the player has dismissed the box. The
// box names the first failure: the refused send, or what the receive found. Only a link that
// delivered a record counts as working: one that ends before shows no box at all (a server that
// accepts and closes at once must not bring boxes every second).
//
// The instance is created on first use and never destroyed, so the receiver thread can never
// touch a destroyed queue while the process exits; call shutdown() before a normal exit so that
// the thread ends quietly instead of reporting a lost connection.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "net/LinkLossBox.h"
#include "net/Message.h"
#include "net/Socket.h"
#include "wire/GameConstants.h"

class CMessageQueue {
public:
    static constexpr std::uint16_t kServerPort = kGamePort;
    static constexpr std::size_t kMaxQueued = 4096;
    static constexpr std::size_t kMaxQueuedTextBytes = std::size_t{4} << 20;
    static constexpr int kSilentHelloLinks = 2;
    static constexpr std::chrono::milliseconds kReceiverEndPatience{200};

    // Any thread; created on the first call (safe against concurrent first calls).
    static CMessageQueue* getInstance();

    // ---- Connection (main thread)
    // Connects to the configuration's "host" on kServerPort and starts the receiver thread.
    // False when no socket could be made or the connection failed; nothing is shown then.
    bool connectServer();
    // The same with an explicit endpoint; connectServer calls it, tests use it directly. The
    // endpoint of the first successful call is the one every reconnection goes to. `waitMs`
    // bounds the wait for the connection (below 0: the system's own connect time-out).
    bool connectServerAt(const std::string& host, std::uint16_t port, int waitMs = -1);
    // Sends one text as one frame. False when the socket refused it (the link is down from then
    // on, told in the box "断开连接，请重新登录!" unless its loss was told already), and false at
    // once, sending nothing and showing nothing, while the link is down. With a send tap set, the
    // text goes to the tap instead and the result is true.
    bool sendMsg(const std::string& text);
    // The player's token: every link from now on begins with helloMessage(token) (none when
    // empty). Before connecting.
    void setPlayerToken(const std::string& token);
    // The player's name: every hello from now on carries it (none when empty). Main thread.
    void setPlayerName(const std::string& name);
    // For scene tests: capture the texts the scenes send instead of writing them to the socket.
    // An empty function sends through the socket again.
    void setSendTap(std::function<void(const std::string&)> tap);
    // Before a normal exit: shuts the socket down (and drops a reconnection under way); the
    // receiver thread then ends without a box and queues nothing more. It is joined when it has
    // ended within kReceiverEndPatience, and otherwise let go, so the exit never waits longer;
    // a loss box still open is let go too.
    void shutdown();

    // ---- Reconnection (main thread)
    // True once the receiver thread of the current link has stopped: it ends as soon as the link
    // is lost (a send refused shuts the socket down), before the player sees any box.
    bool receiverEnded() const;
    // True once the current link has queued its first record: the server is really there.
    bool linkDelivered() const;
    // True once the current link has queued a "hello" answer: the server knows the messages of
    // rejoin and 托管 (an older one would close the link on them).
    bool helloAnswered() const;
    // True once the current link has queued an accepted "hello" answer carrying "records":"1":
    // the server answers "record" and "leaderboard" (an older one would close the link on them).
    bool recordsOffered() const;
    // True once the current link has queued an accepted "hello" answer carrying "talk":"1": the
    // server passes "talk" on (an older one would close the link on it).
    bool talkOffered() const;
    // True once the current link has queued an accepted "hello" answer carrying "private":"1":
    // the server has private desks ("create", "join", "bots"; an older one would close the link).
    bool privateDesksOffered() const;
    // True once the current link has queued an accepted "hello" answer carrying "watch":"1": the
    // server lists desks and lets the player watch them ("desks", "watch"; an older one would
    // close the link on them).
    bool watchOffered() const;
    // True once the current link has queued an accepted "hello" answer carrying "names":"1": the
    // server takes "name" (an older one would close the link on it).
    bool namesOffered() const;
    // Starts a new connection to the endpoint of the first connect without waiting for it; only
    // once the receiver has ended. An attempt still under way is dropped first. False when the
    // attempt failed at once (nothing to poll then).
    bool beginReconnect();
    // Looks, without waiting, at the attempt beginReconnect started. Connected: the new link is up
    // as described above. Failed: the attempt is over and its socket closed.
    ConnectProgress pollReconnect();
    // Gives up the attempt under way (a time-out of the caller's), closing its socket.
    void cancelReconnect();

    // ---- Queue
    // Main thread: the oldest record, removed from the queue, or an empty pointer; never waits.
    std::shared_ptr<stMsg> popMsg();
    // Appends a complete record at the back, waiting while the queue is full (dropped after
    // shutdown), and notes that the link delivered (and, for "hello", that it answered). The
    // receiver thread's append; scene tests call it on the main thread to feed records, and
    // must then leave room (a full queue would block them).
    void pushMsg(std::shared_ptr<stMsg> msg);
    // Any thread: the records queued now, and the bytes of their texts (what the budget counts).
    std::size_t queuedCount();
    std::size_t queuedTextBytes();

    // ---- Receiver thread
    // Reads one whole frame's text into `text`, reusing its storage. False when the connection
    // failed or the length is refused (0 or above framing::kMaxFrameBytes); the loss box the
    // receiver's end brings then names that failure.
    bool recvFrame(std::string& text);
    // The receiver thread's body: frames until the connection fails or a text is not JSON.
    void recvThread();

private:
    CMessageQueue();

    bool startReceiver();                            // main thread; false: no thread
    // Main thread: the hello, then the receiver; false (socket left to the caller) without one.
    bool openLink();
    bool writeFrame(const std::string& text);        // main thread; false: the socket refused
    // Main thread, as a new link opens: what the one before it says about the server's hello.
    void judgeHello();
    void dropQueued();                               // main thread
    // Any thread: the loss of a link that delivered is told once, unless the client is ending.
    void tellLoss(const char* text);
    [[noreturn]] void refuseVersion();               // receiver thread

    std::list<std::shared_ptr<stMsg>> m_msgList;  // oldest first; guarded by m_mutex
    std::size_t m_queuedTextBytes = 0;             // texts of m_msgList; guarded by m_mutex
    std::mutex m_mutex;
    std::condition_variable m_queueRoom;  // popMsg and shutdown wake a waiting pushMsg
    // Written only while no receiver thread runs (before it starts, after it was joined).
    SocketHandle m_socket = kNoSocket;
    std::thread m_receiver;  // main thread; joined before the next starts, or let go at shutdown
    std::atomic<bool> m_receiverEnded{false};  // set by the receiver thread as its last act
    const char* m_receiveLoss = nullptr;       // receiver thread: what the loss box says
    bool m_sendRefused = false;                // main thread: a send on this link was refused
    LinkLossBox m_lossBox;
    std::atomic<bool> m_delivered{false};      // the current link queued a record
    std::atomic<bool> m_helloAnswered{false};  // the current link queued a "hello"
    std::atomic<bool> m_recordsOffered{false};  // ... an accepted one with "records":"1"
    std::atomic<bool> m_talkOffered{false};     // ... an accepted one with "talk":"1"
    std::atomic<bool> m_privateOffered{false};  // ... an accepted one with "private":"1"
    std::atomic<bool> m_watchOffered{false};    // ... an accepted one with "watch":"1"
    std::atomic<bool> m_namesOffered{false};    // ... an accepted one with "names":"1"
    std::string m_token;                       // main thread: what every link's hello carries
    std::string m_name;                        // main thread: the same
    bool m_linkOpened = false;    // main thread: a link was opened before (judgeHello has one)
    bool m_helloSent = false;     // main thread: the current link began with the hello
    int m_silentHelloLinks = 0;   // main thread: links in a row with a hello and nothing back
    bool m_helloUnknown = false;  // main thread: the server works only without the hello
    SocketHandle m_connecting = kNoSocket;     // main thread: a reconnection under way
    std::string m_host;                        // main thread: where reconnections go
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stopping{false};  // set by shutdown(), under m_mutex for pushMsg's wait
    std::string m_downloadAddress;        // for the version box; set before the thread starts
    std::function<void(const std::string&)> m_sendTap;  // main thread only
    std::string m_sendBuffer;                           // main thread; reused for every frame
};
