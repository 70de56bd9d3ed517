// The soak benchmark's relay lane between plain loopback sockets: what goes in comes out at the
// other end whole and in order however the lane splits and delays it, from the lane's own source
// address; a cut closes both ends and is recorded before either sees it, and the lane then takes
// the next link.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <future>
#include <thread>

#include "bench/server/FaultyRelay.h"
#include "tests/support/TestSockets.h"
#include "wire/Framing.h"

namespace {

class RelayLaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::uint16_t port = 0;
        m_listener = testnet::listenOn("127.0.0.1", 0, port);
        ASSERT_NE(m_listener, kNoSocket);
        const RelayShape shape{std::chrono::milliseconds(3), 4, std::chrono::milliseconds(1)};
        m_lane = std::make_shared<RelayLane>(
            m_io, asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), port),
            laneAddress(0), shape, 7);
        m_lane->start();
        m_thread = std::thread([this] { m_io.run(); });
    }

    void TearDown() override {
        asio::post(m_io, [this] { m_lane->stop(); });
        m_thread.join();
        testnet::closeSocket(m_listener);
    }

    // A person's link through the lane and the server's end of it, passing bytes both ways.
    void connectThrough(SocketHandle& person, SocketHandle& server) {
        person = testnet::connectLoopback(m_lane->endpoint().port());
        ASSERT_NE(person, kNoSocket);
        server = testnet::acceptWithin(m_listener, 2000);
        ASSERT_NE(server, kNoSocket);
        ASSERT_TRUE(testnet::sendAll(person, "hi"));
        ASSERT_EQ(receive(server, 2), "hi");
    }

    static std::string receive(SocketHandle socket, std::size_t bytes) {
        std::string got;
        char chunk[4096];
        while (got.size() < bytes && testnet::readableWithin(socket, 2000)) {
            const long n = recvSome(socket, chunk, sizeof chunk);
            if (n <= 0) {
                break;
            }
            got.append(chunk, static_cast<std::size_t>(n));
        }
        return got;
    }

    // Where two byte streams first differ (the shorter one's length when one begins the other);
    // npos when equal. Streams of some 150 kB are not printed whole.
    static std::size_t firstDifference(const std::string& got, const std::string& sent) {
        if (got == sent) {
            return std::string::npos;
        }
        const auto at = std::mismatch(got.begin(), got.end(), sent.begin(), sent.end());
        return static_cast<std::size_t>(at.first - got.begin());
    }

    static bool closedWithin(SocketHandle socket) {
        char chunk[256];
        while (testnet::readableWithin(socket, 2000)) {
            if (recvSome(socket, chunk, sizeof chunk) <= 0) {
                return true;
            }
        }
        return false;
    }

    bool cutOnRelayThread() {
        std::promise<bool> done;
        asio::post(m_io, [this, &done] { done.set_value(m_lane->cut()); });
        return done.get_future().get();
    }

    asio::io_context m_io;
    std::shared_ptr<RelayLane> m_lane;
    std::thread m_thread;
    SocketHandle m_listener = kNoSocket;
};

TEST_F(RelayLaneTest, BytesPassWholeAndInOrderBothWaysFromTheLanesAddress) {
    SocketHandle person = kNoSocket;
    SocketHandle server = kNoSocket;
    connectThrough(person, server);
    sockaddr_in peer{};
    socklen_t size = sizeof peer;
    ASSERT_EQ(getpeername(server, reinterpret_cast<sockaddr*>(&peer), &size), 0);
    EXPECT_EQ(peer.sin_addr.s_addr, inet_addr("127.1.0.1"));

    std::string frames;
    for (int i = 0; i < 300; ++i) {
        framing::appendFrame(frames, std::string(static_cast<std::size_t>(1 + i * 37 % 500),
                                                 static_cast<char>('a' + i % 26)));
    }
    ASSERT_TRUE(testnet::sendAll(person, frames));
    EXPECT_EQ(firstDifference(receive(server, frames.size()), frames), std::string::npos);
    ASSERT_TRUE(testnet::sendAll(server, frames));
    EXPECT_EQ(firstDifference(receive(person, frames.size()), frames), std::string::npos);
    testnet::closeSocket(person);
    EXPECT_TRUE(closedWithin(server));  // the person's close reaches the server
    testnet::closeSocket(server);
}

TEST_F(RelayLaneTest, ACutClosesBothEndsAndTheNextLinkPasses) {
    SocketHandle person = kNoSocket;
    SocketHandle server = kNoSocket;
    connectThrough(person, server);
    const auto before = std::chrono::steady_clock::now().time_since_epoch();

    ASSERT_TRUE(cutOnRelayThread());
    EXPECT_EQ(m_lane->cuts().count.load(), 1u);
    EXPECT_GE(m_lane->cuts().lastNs.load(),
              std::chrono::duration_cast<std::chrono::nanoseconds>(before).count());
    EXPECT_TRUE(closedWithin(person));
    EXPECT_TRUE(closedWithin(server));
    EXPECT_FALSE(cutOnRelayThread());  // no link is up
    testnet::closeSocket(person);
    testnet::closeSocket(server);

    connectThrough(person, server);
    ASSERT_TRUE(testnet::sendAll(server, "back"));
    EXPECT_EQ(receive(person, 4), "back");
    EXPECT_EQ(m_lane->cuts().count.load(), 1u);
    testnet::closeSocket(person);
    testnet::closeSocket(server);
}

}  // namespace
