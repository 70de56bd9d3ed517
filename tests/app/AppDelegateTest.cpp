// Start-up as the process entry runs it, on the headless back end: the connection decides
// whether the catalogue and the hall ever come, and the server is found through the
// configuration. Each case gets a configuration of its own naming a loopback address where the
// test alone listens (or nothing does), on the client's fixed port.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/AppDelegate.h"
#include "engine/Engine.h"
#include "engine/backend/headless/Headless.h"
#include "net/OutgoingMessages.h"
#include "scenes/hall/CHallScene.h"
#include "settings/CSettings.h"
#include "tests/support/TestSockets.h"
#include "tests/support/TestSystem.h"
#include "wire/Framing.h"

namespace fs = std::filesystem;
using namespace engine;

namespace {

// A configuration whose "host" is `host`, searched before the shipped resources.
void useHost(const std::string& host) {
    const fs::path root = FileUtils::pathFromUtf8(testsys::makeTempDir("desk-app-test"));
    fs::create_directories(root / "config");
    std::ofstream(root / "config" / "strings.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        << "<key>title</key><string>desk test</string>"
        << "<key>host</key><string>" << host << "</string></dict></plist>\n";
    FileUtils::getInstance()->addSearchPath(FileUtils::utf8FromPath(root), true);
    // The settings, too, in the test's own folder, never the user's.
    FileUtils::getInstance()->setWritablePath(FileUtils::utf8FromPath(root / "settings"));
    UserDefault::destroyInstance();
}

// Listens on host:9999, the port the client always dials. Invalid when the port is taken there.
class PortListener {
public:
    explicit PortListener(const std::string& host) {
        std::uint16_t bound = 0;
        m_listener = testnet::listenOn(host, 9999, bound);
    }
    ~PortListener() {
        if (m_peer != kNoSocket) testnet::closeSocket(m_peer);
        if (m_listener != kNoSocket) testnet::closeSocket(m_listener);
    }
    bool valid() const { return m_listener != kNoSocket; }
    SocketHandle listener() const { return m_listener; }

    // The bytes the client sent within the time, after accepting its connection.
    std::string receive(std::size_t size, int timeoutMs = 3000) {
        if (m_peer == kNoSocket) {
            m_peer = testnet::acceptWithin(m_listener, timeoutMs);
        }
        std::string bytes;
        while (m_peer != kNoSocket && bytes.size() < size) {
            if (!testnet::readableWithin(m_peer, timeoutMs)) break;
            char buffer[256];
            const long got = recvSome(m_peer, buffer, sizeof buffer);
            if (got <= 0) break;
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
        return bytes;
    }

private:
    SocketHandle m_listener = kNoSocket;
    SocketHandle m_peer = kNoSocket;
};

}  // namespace

TEST(AppDelegateTest, WithNoServerItShowsTheBoxAndEndsBeforeAnyScene) {
    headless::install();
    useHost("127.0.99.7");  // nothing listens there: the connection is refused at once
    AppDelegate app;

    EXPECT_NE(Application::getInstance()->run(), 0);

    const auto boxes = headless::messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "连接服务器失败！请检查网络是否正常。");
    EXPECT_EQ(boxes[0].title, "错误");
    EXPECT_EQ(Director::getInstance()->getRunningScene(), nullptr);
    EXPECT_EQ(SpriteFrameCache::getInstance()->getSpriteFrameByName("beijing"), nullptr)
        << "the catalogue is loaded only after the connection succeeded";
    EXPECT_TRUE(headless::sounds().empty());
}

TEST(AppDelegateTest, ConnectedItLoadsTheCatalogueAndOpensTheHallWhichQueries) {
    headless::install(1280, 720);  // the design size does not follow the frame
    useHost("127.0.99.8");
    PortListener server("127.0.99.8");
    if (!server.valid()) GTEST_SKIP() << "127.0.99.8:9999 is taken";

    {
        AppDelegate app;
        ASSERT_TRUE(app.applicationDidFinishLaunching());

        Director* director = Director::getInstance();
        EXPECT_FLOAT_EQ(director->getContentScaleFactor(), 1.0f);
        EXPECT_EQ(director->getOpenGLView()->getDesignResolutionSize().width, 1024);
        EXPECT_EQ(director->getOpenGLView()->getDesignResolutionSize().height, 768);
        // Uniformly scaled to fit, bars around; at 1280 x 720 the normal images.
        EXPECT_EQ(director->getOpenGLView()->getResolutionPolicy(), ResolutionPolicy::SHOW_ALL);

        Scene* scene = director->getRunningScene();
        ASSERT_NE(scene, nullptr);
        ASSERT_EQ(scene->getChildren().size(), 1u);
        EXPECT_NE(dynamic_cast<CHallScene*>(scene->getChildren().front()), nullptr);
        EXPECT_NE(SpriteFrameCache::getInstance()->getSpriteFrameByName("beijing"), nullptr);

        // The player's kept token goes first on the link, then the hall's query.
        const std::string query = "{\"opt\":\"query\"}";
        std::string opening;
        framing::appendFrame(opening, helloMessage(CSettings::playerToken()));
        framing::appendFrame(opening, query);
        EXPECT_EQ(server.receive(opening.size()), opening);

        // Minimised, the hall draws nothing but still polls: its next query goes out on time.
        app.applicationDidEnterBackground();
        const int drawn = headless::framesDrawn();
        headless::step(10.5);
        EXPECT_EQ(server.receive(4 + query.size()), std::string("\x0f\0\0\0", 4) + query);
        EXPECT_EQ(headless::framesDrawn(), drawn);
        app.applicationWillEnterForeground();
        headless::step(0.1);
        EXPECT_GT(headless::framesDrawn(), drawn);
    }
    // The delegate is gone, as at a normal exit: the link ends without a word.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(headless::messageBoxes().empty());
}

// A server chosen in the settings is dialled first, on its own port; one that cannot be had (not
// an address, or nobody there) gets a box, and the configured server is used instead. `{port}`
// in the address stands for the chosen server's port.
struct ChosenServer {
    const char* address;
    bool reached;  // the chosen server gets the link, with no box
};

class AppDelegateChosenServer : public testing::TestWithParam<ChosenServer> {};

TEST_P(AppDelegateChosenServer, IsTriedFirstAndNeverLocksThePlayerOut) {
    headless::install();
    useHost("127.0.99.9");
    PortListener configured("127.0.99.9");
    if (!configured.valid()) GTEST_SKIP() << "127.0.99.9:9999 is taken";
    std::uint16_t chosenPort = 0;
    const SocketHandle chosen = testnet::listenOn("127.0.99.10", 0, chosenPort);
    ASSERT_NE(chosen, kNoSocket);
    std::string address = GetParam().address;
    if (const std::size_t at = address.find("{port}"); at != std::string::npos) {
        address.replace(at, 6, std::to_string(chosenPort));
    }
    CSettings::setServerAddress(address);

    {
        AppDelegate app;
        ASSERT_TRUE(app.applicationDidFinishLaunching());
        const SocketHandle peer =
            testnet::acceptWithin(GetParam().reached ? chosen : configured.listener(), 3000);
        EXPECT_NE(peer, kNoSocket);
        if (peer != kNoSocket) testnet::closeSocket(peer);
    }
    testnet::closeSocket(chosen);
    const auto boxes = headless::messageBoxes();
    if (GetParam().reached) {
        EXPECT_TRUE(boxes.empty());
    } else {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "无法连接所选的服务器 " + address + "，改用默认服务器。");
    }
}

INSTANTIATE_TEST_SUITE_P(Addresses, AppDelegateChosenServer,
                         testing::Values(ChosenServer{"127.0.99.10:{port}", true},
                                         ChosenServer{"127.0.99.11:{port}", false},
                                         ChosenServer{"not an address", false}));
