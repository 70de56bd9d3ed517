// Opening the link, and the version check that stops an outdated client.

#include <cstdio>
#include <cstdlib>

#include "engine/backend/headless/HeadlessBackend.h"
#include "engine/base/Configuration.h"
#include "net/ServerAddress.h"
#include "tests/net/LinkTestSupport.h"

namespace linktest {
namespace {

void setConfig(const char* key, const char* value) {
    engine::Configuration::getInstance()->setValue(key, engine::Value(value));
}

TEST(Connect, FailuresReturnFalseWithoutABox) {
    engine::headless::install();
    CMessageQueue* link = CMessageQueue::getInstance();
    std::uint16_t closedPort = 0;
    {
        ScriptedServer gone;
        closedPort = gone.port();
    }
    ScriptedServer server;
    EXPECT_FALSE(link->connectServerAt("127.0.0.1", closedPort)) << "nobody listening";
    EXPECT_FALSE(link->connectServerAt("localhost", server.port())) << "no name look-up";
    EXPECT_FALSE(link->connectServerAt("", server.port()));
    EXPECT_FALSE(link->connectServerAt("127.0.0.1.5", server.port()));
    EXPECT_TRUE(boxes().empty());

    EXPECT_TRUE(link->connectServerAt("127.0.0.1", server.port())) << "a failure spoils nothing";
    EXPECT_TRUE(server.accept());
    link->shutdown();
}

// The address a player types in the settings: host or IPv4, optional port.
TEST(Connect, ChosenServerAddresses) {
    struct Case {
        const char* text;
        const char* host;  // nullptr: refused
        std::uint16_t port;
    };
    const Case cases[] = {
        {"192.168.1.20", "192.168.1.20", CMessageQueue::kServerPort},
        {" game.example-lan:10000 ", "game.example-lan", 10000},
        {"h:1", "h", 1},
        {"h:65535", "h", 65535},
        {"h:65536", nullptr, 0},
        {"h:0", nullptr, 0},
        {"h:", nullptr, 0},
        {"h:99x", nullptr, 0},
        {":9999", nullptr, 0},
        {"[::1]:9999", nullptr, 0},
        {"a..b", nullptr, 0},
        {"-a.b", nullptr, 0},
        {"a b", nullptr, 0},
        {"张三.lan", nullptr, 0},
        {"   ", nullptr, 0},
    };
    for (const Case& c : cases) {
        std::string reason;
        const std::optional<ServerAddress> address = parseServerAddress(c.text, reason);
        if (c.host == nullptr) {
            EXPECT_FALSE(address) << c.text;
            EXPECT_FALSE(reason.empty()) << c.text;
            continue;
        }
        ASSERT_TRUE(address) << c.text << ": " << reason;
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port) << c.text;
    }
    EXPECT_EQ(resolveIPv4("127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(resolveIPv4("localhost"), "127.0.0.1") << "names are resolved, to IPv4";
}

TEST(Connect, ServerHostComesFromTheConfiguration) {
    engine::headless::install();
    CMessageQueue* link = CMessageQueue::getInstance();
    setConfig("host", "localhost");
    EXPECT_FALSE(link->connectServer()) << "a host name is not resolved";

    ScriptedServer server(CMessageQueue::kServerPort);
    if (server.port() == 0) {
        GTEST_SKIP() << "port 9999 is taken on this machine";
    }
    setConfig("host", "127.0.0.1");
    ASSERT_TRUE(link->connectServer());
    ASSERT_TRUE(server.accept());
    ASSERT_TRUE(link->sendMsg(R"({"opt":"query"})"));
    EXPECT_EQ(server.receive(19), frameOf(R"({"opt":"query"})"));
    link->shutdown();
}

// The headless back end, also writing each box to standard error, where the parent process of
// a death test can see it.
class EchoingBackend : public engine::headless::HeadlessBackend {
public:
    EchoingBackend() : HeadlessBackend(1024, 768) {}
    void showMessageBox(const std::string& text, const std::string& title) override {
        HeadlessBackend::showMessageBox(text, title);
        std::fprintf(stderr, "box: %s / %s\n", text.c_str(), title.c_str());
        std::fflush(stderr);
    }
};

// Runs in the child: a server answers the first query with `version`. Exit 0 can only come
// from the version check; the other endings have codes of their own.
void answerQueryWithVersion(const char* version) {
    engine::setBackend(std::make_unique<EchoingBackend>());
    setConfig("download", "http://dl.example/desk");
    ScriptedServer server;
    if (!CMessageQueue::getInstance()->connectServerAt("127.0.0.1", server.port()) ||
        !server.accept()) {
        std::_Exit(2);
    }
    server.send(frameOf(std::string(R"({"opt":"query","online":"5","version":")") + version +
                        "\"}"));
    pause(5000);
    std::_Exit(3);
}

TEST(VersionCheckDeathTest, OlderVersionShowsTheBoxAndExitsWithZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(answerQueryWithVersion("27"), ::testing::ExitedWithCode(0),
                "box: 版本过低，请前往 http://dl\\.example/desk 下载新版客户端! / 错误");
}

TEST(VersionCheckDeathTest, EmptyVersionShowsTheBoxAndExitsWithZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(answerQueryWithVersion(""), ::testing::ExitedWithCode(0), "box: 版本过低");
}

}  // namespace
}  // namespace linktest
