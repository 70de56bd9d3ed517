// The local server the client starts for itself: the command line that asks for it, when it is
// started and when not, and that it never outlives the client, however the client ends.
// desk-server and the stand-in client (local_server_parent) run as real processes on loopback.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/CLocalServer.h"
#include "app/ClientOptions.h"
#include "engine/platform/FileUtils.h"
#include "tests/support/TestSockets.h"
#include "tests/support/TestSystem.h"

namespace {

using Outcome = CLocalServer::Outcome;
using Clock = std::chrono::steady_clock;

// ---- The command line

struct OptionsCase {
    const char* what;
    std::vector<std::string> words;
    bool ok;
    std::string localServer;
    std::vector<std::string> serverOptions;
};

TEST(ClientOptions, ReadsTheLocalServerAndHandsTheRestToIt) {
    const OptionsCase cases[] = {
        {"no words: no local server", {}, true, "", {}},
        {"the program alone", {"--local-server", "/usr/games/desk-server"}, true,
         "/usr/games/desk-server", {}},
        {"every later word goes to the server, even one the client knows",
         {"--local-server", "C:\\游戏\\desk-server.exe", "--host", "0.0.0.0", "--local-server"},
         true, "C:\\游戏\\desk-server.exe", {"--host", "0.0.0.0", "--local-server"}},
        {"the program is missing", {"--local-server"}, false, "", {}},
        {"the program is empty", {"--local-server", ""}, false, "", {}},
        {"an unknown word", {"--lan"}, false, "", {}},
        {"a server option before --local-server", {"--port", "1", "--local-server", "x"}, false,
         "", {}},
    };
    for (const OptionsCase& c : cases) {
        ClientOptions options;
        options.localServer = "left over";
        std::string error;
        EXPECT_EQ(parseClientOptions(c.words, options, error), c.ok) << c.what;
        EXPECT_EQ(error.empty(), c.ok) << c.what << ": " << error;
        if (c.ok) {
            EXPECT_EQ(options.localServer, c.localServer) << c.what;
            EXPECT_EQ(options.serverOptions, c.serverOptions) << c.what;
        }
    }
}

// ---- Loopback helpers

std::uint16_t freePort() {
    std::uint16_t port = 0;
    const SocketHandle listener = testnet::listenOn("127.0.0.1", 0, port);
    testnet::closeSocket(listener);
    return port;
}

bool answers(std::uint16_t port) {
    return acceptsConnections("127.0.0.1", port, 1000);
}

// Whether answers(port) becomes `wanted` within the limit.
bool answersWithin(std::uint16_t port, bool wanted, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        if (answers(port) == wanted) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// ---- When the client starts a server

enum class Program { None, DeskServer, Missing };

struct StartCase {
    const char* what;
    Program program;
    std::vector<std::string> serverOptions;
    const char* host;
    bool somebodyListens;
    Outcome outcome;
    bool answersAfter;  // whether 127.0.0.1:port answers once ensureRunning returned
};

std::string programPath(Program program) {
    switch (program) {
    case Program::None:
        return "";
    case Program::DeskServer:
        return DESK_SERVER_PATH;
    case Program::Missing:
        return std::string(DESK_SERVER_PATH) + ".missing";
    }
    return "";
}

TEST(LocalServer, StartsOnlyWhenAskedForALoopbackAddressWhereNobodyListens) {
    const std::vector<std::string> quiet = {"--no-records", "--quiet"};
    const StartCase cases[] = {
        {"not asked", Program::None, quiet, "127.0.0.1", false, Outcome::NotAsked, false},
        {"another machine's address", Program::DeskServer, quiet, "192.0.2.7", false,
         Outcome::NotLocal, false},
        {"somebody listens already", Program::DeskServer, quiet, "127.0.0.1", true,
         Outcome::AlreadyListening, true},
        {"started and listening", Program::DeskServer, quiet, "127.0.0.1", false,
         Outcome::Started, true},
        {"listening on every network (--lan)", Program::DeskServer,
         {"--no-records", "--quiet", "--host", "0.0.0.0"}, "127.0.0.1", false, Outcome::Started,
         true},
        {"no such program", Program::Missing, quiet, "127.0.0.1", false, Outcome::Failed, false},
        {"the server refuses its options and ends", Program::DeskServer,
         {"--no-records", "--bot-level", "superb"}, "127.0.0.1", false, Outcome::Failed, false},
    };
    for (const StartCase& c : cases) {
        const std::uint16_t port = freePort();
        ASSERT_NE(port, 0) << c.what;
        SocketHandle listener = kNoSocket;
        if (c.somebodyListens) {
            std::uint16_t bound = 0;
            listener = testnet::listenOn("127.0.0.1", port, bound);
            ASSERT_NE(listener, kNoSocket) << c.what;
        }
        ClientOptions options;
        options.localServer = programPath(c.program);
        options.serverOptions = c.serverOptions;
        CLocalServer server;
        const auto start = Clock::now();
        EXPECT_EQ(server.ensureRunning(options, c.host, port), c.outcome) << c.what;
        // A server that ends at start is noticed then, not after the whole wait.
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(CLocalServer::kStartWaitMs))
            << c.what;
        EXPECT_EQ(answers(port), c.answersAfter) << c.what;
        if (listener != kNoSocket) {
            testnet::closeSocket(listener);
        }
        server.stop();
        EXPECT_TRUE(answersWithin(port, false, std::chrono::seconds(2)))
            << c.what << ": the port still answers after stop";
    }
}

// ---- The server never outlives the client

struct EndCase {
    const char* what;
    int lifeSeconds;  // how long the stand-in client lives unless killed
    bool killed;      // killed (SIGKILL, TerminateProcess) rather than returning normally
};

TEST(LocalServer, EndsWithTheClientHoweverTheClientEnds) {
    const EndCase cases[] = {
        {"the client is killed", 600, true},
        {"the client returns normally", 1, false},
    };
    const std::string logDir = testsys::makeTempDir("desk-local-server");
    struct RemoveDir {
        std::string path;
        ~RemoveDir() {
            std::error_code ignored;
            std::filesystem::remove_all(engine::FileUtils::pathFromUtf8(path), ignored);
        }
    } removeLogDir{logDir};
    for (const EndCase& c : cases) {
        const std::uint16_t port = freePort();
        ASSERT_NE(port, 0) << c.what;
        testsys::ChildProcess client(
            LOCAL_SERVER_PARENT_PATH,
            {DESK_SERVER_PATH, std::to_string(port), std::to_string(c.lifeSeconds)},
            logDir + "/parent.log");
        ASSERT_TRUE(client.running()) << c.what;
        ASSERT_TRUE(answersWithin(port, true, std::chrono::seconds(20)))
            << c.what << ": the stand-in client started no server";
        if (c.killed) {
            client.kill();
        } else {
            const auto deadline = Clock::now() + std::chrono::seconds(10);
            while (client.running() && Clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            ASSERT_FALSE(client.running()) << c.what << ": the stand-in client did not end";
        }
        EXPECT_TRUE(answersWithin(port, false, std::chrono::seconds(1)))
            << c.what << ": the server still listens a second after the client ended";
    }
}

}  // namespace
