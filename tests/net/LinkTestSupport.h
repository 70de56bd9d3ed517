#pragma once
// Shared by the server-link tests: a fixture that installs the headless back end (which records
// message boxes) and connects the link to a ScriptedServer, plus bounded waits.
// Every test runs in a process of its own, so each one gets a fresh CMessageQueue.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/backend/headless/Headless.h"
#include "net/CMessageQueue.h"
#include "tests/kit/ScriptedServer.h"

namespace linktest {

constexpr auto kPatience = std::chrono::seconds(10);  // generous for sanitizer builds

// Polls `done` every millisecond until it holds or kPatience has passed.
template <typename Predicate>
bool waitFor(Predicate done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// "text / title" of every box shown so far, in order.
inline std::vector<std::string> boxes() {
    std::vector<std::string> out;
    for (const auto& box : engine::headless::messageBoxes()) {
        out.push_back(box.text + " / " + box.title);
    }
    return out;
}

inline bool waitForBoxes(std::size_t count) {
    return waitFor([count] { return engine::headless::messageBoxes().size() >= count; });
}

// The next record, waiting for it; null when none arrived in time.
inline std::shared_ptr<stMsg> popWithin() {
    std::shared_ptr<stMsg> msg;
    waitFor([&msg] { return (msg = CMessageQueue::getInstance()->popMsg()) != nullptr; });
    return msg;
}

// Everything queued right now, as "opt:desk" for compact comparisons.
inline std::vector<std::string> drain() {
    std::vector<std::string> out;
    while (auto msg = CMessageQueue::getInstance()->popMsg()) {
        out.push_back(msg->opt + ":" + std::to_string(msg->desk));
    }
    return out;
}

// Polls the reconnection under way until it has an outcome.
inline ConnectProgress reconnectOutcome() {
    ConnectProgress progress = ConnectProgress::Pending;
    waitFor([&progress] {
        progress = CMessageQueue::getInstance()->pollReconnect();
        return progress != ConnectProgress::Pending;
    });
    return progress;
}

inline std::string addText(int desk) {
    return R"({"opt":"add","desk":")" + std::to_string(desk) + R"(","site":"1","name":"p"})";
}

inline const std::string kReceiveFailedBox = "从服务器接收数据错误. / error";
inline const std::string kDisconnectedBox = "与服务器断开连接! / error";
inline const std::string kSendFailedBox = "断开连接，请重新登录! / error";

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine::headless::install();
        ASSERT_NE(server.port(), 0) << "no loopback listener";
        ASSERT_TRUE(link->connectServerAt("127.0.0.1", server.port()));
        ASSERT_TRUE(server.accept());
    }
    // The receiver thread ends quietly before the server goes away.
    void TearDown() override { link->shutdown(); }

    ScriptedServer server;
    CMessageQueue* link = CMessageQueue::getInstance();
};

}  // namespace linktest
