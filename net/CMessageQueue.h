#pragma once
// The client's one link to the game server: the TCP connection, the receiver thread, and the
// sending of texts. Its parts: MessageInbox, the bounded queue of decoded records the scenes
// poll; HelloPolicy, what every link begins with and what the hello's answer offers;
// ServerFeatures, that offer as one value; LinkLossBox, the one box that tells a lost link.
//
// Two threads meet here. The receiver thread (started by a connect, joined by the next one) reads
// one frame at a time, decodes it into a fresh stMsg and pushes it into the inbox; the main
// thread sends texts synchronously and takes records with popMsg (in the client, CMessagePump
// alone). The inbox, the flag that says the receiver has ended and the server's features are
// all they share. When the inbox is full the receiver waits for room and stops reading.
//
// Every link begins with the player's hello (when a token was given, as HelloPolicy decides): the
// link sends it itself, right after connecting and before any scene can send, so the server knows
// the person first. Each record carries the steady-clock time its frame arrived, so a scene that
// handles it late knows how late it is.
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
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "net/HelloPolicy.h"
#include "net/LinkLossBox.h"
#include "net/Message.h"
#include "net/MessageInbox.h"
#include "net/ServerFeatures.h"
#include "net/Socket.h"
#include "wire/GameConstants.h"

class CMessageQueue {
public:
    static constexpr std::uint16_t kServerPort = kGamePort;
    static constexpr std::size_t kMaxQueued = MessageInbox::kMaxRecords;
    static constexpr std::size_t kMaxQueuedTextBytes = MessageInbox::kMaxTextBytes;
    static constexpr int kSilentHelloLinks = HelloPolicy::kSilentHelloLinks;
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
    // Any thread: what the current link's server offers, as its "hello" answer said; noted
    // before the answer is queued, so a scene that takes the answer finds it noted.
    ServerFeatures serverFeatures() const;
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
    // shutdown), and notes that the link delivered (and, for "hello", what the server offers). The
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
    // Any thread: the loss of a link that delivered is told once, unless the client is ending.
    void tellLoss(const char* text);
    [[noreturn]] void refuseVersion();               // receiver thread

    MessageInbox m_inbox;
    // Written only while no receiver thread runs (before it starts, after it was joined).
    SocketHandle m_socket = kNoSocket;
    std::thread m_receiver;  // main thread; joined before the next starts, or let go at shutdown
    std::atomic<bool> m_receiverEnded{false};  // set by the receiver thread as its last act
    const char* m_receiveLoss = nullptr;       // receiver thread: what the loss box says
    bool m_sendRefused = false;                // main thread: a send on this link was refused
    LinkLossBox m_lossBox;
    std::atomic<bool> m_delivered{false};      // the current link queued a record
    mutable std::mutex m_featuresMutex;
    ServerFeatures m_features;                 // the current link's; guarded by m_featuresMutex
    HelloPolicy m_hello;                       // main thread
    SocketHandle m_connecting = kNoSocket;     // main thread: a reconnection under way
    std::string m_host;                        // main thread: where reconnections go
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stopping{false};  // set by shutdown()
    std::string m_downloadAddress;        // for the version box; set before the thread starts
    std::function<void(const std::string&)> m_sendTap;  // main thread only
    std::string m_sendBuffer;                           // main thread; reused for every frame
};
