#include "net/CMessageQueue.h"

#include <cassert>
#include <chrono>
#include <cstdlib>
#include <system_error>
#include <thread>

#include "engine/base/Configuration.h"
#include "engine/platform/MessageBox.h"
#include "engine/platform/ProcessEnd.h"
#include "net/FrameReader.h"
#include "net/MessageDecoder.h"
#include "net/OutgoingMessages.h"
#include "wire/Framing.h"

namespace {

constexpr const char* kSendFailed = "断开连接，请重新登录!";
constexpr const char* kReceiveFailed = "从服务器接收数据错误.";
constexpr const char* kDisconnected = "与服务器断开连接!";

std::string configString(const char* key) {
    return engine::Configuration::getInstance()->getValue(key, engine::Value::Null).asString();
}

}  // namespace

// any thread
CMessageQueue* CMessageQueue::getInstance() {
    // Never destroyed: the receiver thread may still be blocked in a receive (or a box) when the
    // process exits, and must not find a destroyed mutex or list.
    static CMessageQueue* const instance = new CMessageQueue();
    return instance;
}

// main thread (first getInstance)
CMessageQueue::CMessageQueue() { startSockets(); }

// main thread
bool CMessageQueue::connectServer() { return connectServerAt(configString("host"), kServerPort); }

// main thread
bool CMessageQueue::connectServerAt(const std::string& host, std::uint16_t port, int waitMs) {
    assert(m_socket == kNoSocket && "the link connects once; later links come from reconnecting");
    m_downloadAddress = configString("download");
    m_socket = beginConnectIPv4(host, port);
    if (m_socket == kNoSocket) {
        return false;
    }
    if (finishConnect(m_socket, waitMs) != ConnectProgress::Connected) {
        closeSocket(m_socket);
        m_socket = kNoSocket;
        return false;
    }
    if (!openLink()) {
        closeSocket(m_socket);
        m_socket = kNoSocket;
        return false;
    }
    m_host = host;
    m_port = port;
    return true;
}

// main thread
void CMessageQueue::setPlayerToken(const std::string& token) { m_hello.setToken(token); }

// main thread
void CMessageQueue::setPlayerName(const std::string& name) { m_hello.setName(name); }

// main thread
bool CMessageQueue::openLink() {
    const std::string hello = m_hello.openingFor(m_delivered);
    m_delivered = false;
    {
        std::lock_guard<std::mutex> lock(m_featuresMutex);
        m_features = ServerFeatures{};
    }
    m_sendRefused = false;
    m_lossBox.arm();
    // A hello the socket refuses is not reported: the receiver finds the link gone at once.
    if (!hello.empty()) {
        writeFrame(hello);
    }
    return startReceiver();
}

// main thread
bool CMessageQueue::startReceiver() {
    m_receiverEnded = false;
    try {
        m_receiver = std::thread(&CMessageQueue::recvThread, this);
    } catch (const std::system_error&) {
        m_receiverEnded = true;
        return false;
    }
    return true;
}

// main thread
bool CMessageQueue::receiverEnded() const { return m_receiverEnded; }

// main thread
bool CMessageQueue::linkDelivered() const { return m_delivered; }

// any thread
ServerFeatures CMessageQueue::serverFeatures() const {
    std::lock_guard<std::mutex> lock(m_featuresMutex);
    return m_features;
}

// main thread
bool CMessageQueue::beginReconnect() {
    assert(m_receiverEnded && "a reconnection replaces a link that is down");
    cancelReconnect();  // an attempt left behind by a scene that has gone
    if (m_stopping) {
        return false;
    }
    m_connecting = beginConnectIPv4(m_host, m_port);
    return m_connecting != kNoSocket;
}

// main thread
ConnectProgress CMessageQueue::pollReconnect() {
    if (m_connecting == kNoSocket) {
        return ConnectProgress::Failed;
    }
    const ConnectProgress progress = finishConnect(m_connecting, 0);
    if (progress == ConnectProgress::Pending) {
        return progress;
    }
    if (progress == ConnectProgress::Failed) {
        cancelReconnect();
        return progress;
    }
    // The old receiver has returned already; joining it only collects the thread.
    if (m_receiver.joinable()) {
        m_receiver.join();
    }
    closeSocket(m_socket);
    m_socket = m_connecting;
    m_connecting = kNoSocket;
    // What the old link left belongs to scenes that are about to go.
    m_inbox.clear();
    if (!openLink()) {
        shutdownSocket(m_socket);
        return ConnectProgress::Failed;
    }
    return ConnectProgress::Connected;
}

// main thread
void CMessageQueue::cancelReconnect() {
    if (m_connecting != kNoSocket) {
        closeSocket(m_connecting);
        m_connecting = kNoSocket;
    }
}

// main thread
bool CMessageQueue::sendMsg(const std::string& text) {
    if (m_sendTap) {
        m_sendTap(text);
        return true;
    }
    if (m_receiverEnded || m_sendRefused) {
        return false;  // the link is down and the player has been told
    }
    if (writeFrame(text)) {
        return true;
    }
    // Nothing more goes out on this link; the shut-down socket ends the receiver, which starts
    // the reconnection.
    m_sendRefused = true;
    shutdownSocket(m_socket);
    tellLoss(kSendFailed);
    return false;
}

// main thread
bool CMessageQueue::writeFrame(const std::string& text) {
    m_sendBuffer.clear();
    framing::appendFrame(m_sendBuffer, text);
    for (std::size_t sent = 0; sent < m_sendBuffer.size();) {
        const long n = sendSome(m_socket, m_sendBuffer.data() + sent, m_sendBuffer.size() - sent);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// main thread
void CMessageQueue::setSendTap(std::function<void(const std::string&)> tap) {
    m_sendTap = std::move(tap);
}

// main thread
void CMessageQueue::shutdown() {
    m_stopping = true;
    m_inbox.close();
    if (m_socket != kNoSocket) {
        shutdownSocket(m_socket);
    }
    cancelReconnect();
    m_lossBox.release();
    // The shut-down socket wakes a receiver blocked in a read, which then ends at once: it is
    // given a moment to, so that the process does not exit under a thread still returning (a
    // crash at exit under Wine). One that still runs (it may sit in a box) is let go rather than
    // waited for: it touches only this instance, which is never destroyed.
    const auto patience = std::chrono::steady_clock::now() + kReceiverEndPatience;
    while (m_receiver.joinable() && !m_receiverEnded &&
           std::chrono::steady_clock::now() < patience) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (m_receiver.joinable()) {
        if (m_receiverEnded) {
            m_receiver.join();
        } else {
            m_receiver.detach();
        }
    }
}

// main thread
std::shared_ptr<stMsg> CMessageQueue::popMsg() { return m_inbox.pop(); }

// receiver thread (scene tests: main thread)
void CMessageQueue::pushMsg(std::shared_ptr<stMsg> msg) {
    if (m_stopping) {
        return;
    }
    // Noted first: a scene that takes the record finds what it says noted already.
    if (msg->opt == "hello") {
        const ServerFeatures offered = HelloPolicy::featuresOf(*msg);
        std::lock_guard<std::mutex> lock(m_featuresMutex);
        m_features = offered;
    }
    m_delivered = true;
    m_inbox.push(std::move(msg));
}

// any thread
std::size_t CMessageQueue::queuedCount() { return m_inbox.count(); }

// any thread
std::size_t CMessageQueue::queuedTextBytes() { return m_inbox.textBytes(); }

// any thread
void CMessageQueue::tellLoss(const char* text) {
    // A link that never delivered anything was never shown as working: no box for it.
    if (!m_stopping && m_delivered) {
        m_lossBox.tell(text);
    }
}

// receiver thread
bool CMessageQueue::recvFrame(std::string& text) {
    switch (readFrame(m_socket, text)) {
    case FrameRead::Ok:
        return true;
    case FrameRead::HeaderLost:
    case FrameRead::LengthRefused:
        m_receiveLoss = kReceiveFailed;
        return false;
    case FrameRead::BodyLost:
        break;
    }
    m_receiveLoss = kDisconnected;
    return false;
}

// receiver thread
void CMessageQueue::refuseVersion() {
    engine::MessageBox("版本过低，请前往 " + m_downloadAddress + " 下载新版客户端!", "错误");
    // At once and with nothing torn down: the main thread may be drawing right now.
    engine::endProcessNow(0);
}

// receiver thread
void CMessageQueue::recvThread() {
    m_receiveLoss = kDisconnected;  // what a text that is not JSON ends the link with
    std::string buffer;  // reused for every frame; the text is parsed inside it
    while (!m_stopping) {
        buffer.clear();
        if (!recvFrame(buffer)) {
            break;
        }
        const auto arrived = std::chrono::steady_clock::now();
        auto msg = std::make_shared<stMsg>();
        msg->arrived = arrived;
        const DecodeStatus status = decodeMessageInPlace(buffer, *msg);
        if (status == DecodeStatus::NotJson) {
            break;
        }
        if (status == DecodeStatus::NotObject) {
            continue;  // valid JSON the client cannot read: dropped, the link goes on
        }
        if (!versionAccepted(*msg)) {
            refuseVersion();
        }
        pushMsg(std::move(msg));
    }
    // Whatever ended the loop, nothing more is read from this link, so nothing more may reach the
    // server on it either (a quick-join would seat a player who never hears the answer).
    shutdownSocket(m_socket);
    // Told on the box's own thread: the reconnection starts now, whatever the player does.
    tellLoss(m_receiveLoss);
    m_receiverEnded = true;
}
