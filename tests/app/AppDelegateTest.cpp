// Start-up as the process entry runs it, on the headless back end: the connection decides
// whether the catalogue and the hall ever come, and the server is found through the
// configuration. Each case gets a configuration of its own naming a loopback address where the
// test alone listens (or nothing does), on the client's fixed port.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/AppDelegate.h"
#include "engine/Engine.h"
#include "engine/backend/headless/Headless.h"
#include "scenes/CHallScene.h"

namespace fs = std::filesystem;
using namespace engine;

namespace {

// A configuration whose "host" is `host`, searched before the shipped resources.
void useHost(const std::string& host) {
    const fs::path root =
        fs::temp_directory_path() / ("desk-app-test-" + std::to_string(::getpid()));
    fs::create_directories(root / "config");
    std::ofstream(root / "config" / "strings.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        << "<key>title</key><string>desk test</string>"
        << "<key>host</key><string>" << host << "</string></dict></plist>\n";
    FileUtils::getInstance()->addSearchPath(root.string(), true);
    // The settings, too, in the test's own folder, never the user's.
    FileUtils::getInstance()->setWritablePath((root / "settings").string());
    UserDefault::destroyInstance();
}

// Listens on host:9999, the port the client always dials. Invalid when the port is taken there.
class PortListener {
public:
    explicit PortListener(const std::string& host) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(9999);
        ::inet_pton(AF_INET, host.c_str(), &address.sin_addr);
        const int yes = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_fd, 1) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~PortListener() {
        if (m_peer >= 0) ::close(m_peer);
        if (m_fd >= 0) ::close(m_fd);
    }
    bool valid() const { return m_fd >= 0; }

    // The bytes the client sent within the time, after accepting its connection.
    std::string receive(std::size_t size, int timeoutMs = 3000) {
        pollfd waitFor{m_fd, POLLIN, 0};
        if (m_peer < 0 && ::poll(&waitFor, 1, timeoutMs) == 1) {
            m_peer = ::accept(m_fd, nullptr, nullptr);
        }
        std::string bytes;
        while (m_peer >= 0 && bytes.size() < size) {
            pollfd readable{m_peer, POLLIN, 0};
            if (::poll(&readable, 1, timeoutMs) != 1) break;
            char buffer[256];
            const ssize_t got = ::recv(m_peer, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
        return bytes;
    }

private:
    int m_fd = -1;
    int m_peer = -1;
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

        const std::string query = "{\"opt\":\"query\"}";
        EXPECT_EQ(server.receive(4 + query.size()), std::string("\x0f\0\0\0", 4) + query);

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
