#pragma once
// The server on its own event-loop thread, on a free loopback port with logging off, stopped and
// joined at the end of the test. Test thread only.

#include <gtest/gtest.h>

#include <asio.hpp>
#include <thread>

#include "server/net/Server.h"

class RunningServer {
public:
    explicit RunningServer(server::ServerConfig config) : m_server(m_io, withTestDefaults(config)) {
        std::string error;
        m_started = m_server.start(error);
        EXPECT_TRUE(m_started) << error;
    }
    ~RunningServer() {
        if (m_thread.joinable()) {
            asio::post(m_io, [this] { m_server.stop(); });
            m_thread.join();
        }
    }
    // Separate from the constructor so a test may add its own handlers to io() first.
    void run() {
        m_thread = std::thread([this] { m_io.run(); });
    }
    unsigned short port() const { return m_server.port(); }
    asio::io_context& io() { return m_io; }
    server::Server& server() { return m_server; }
    // Joins the loop's thread once the loop has run dry by itself.
    void join() { m_thread.join(); }

private:
    static server::ServerConfig withTestDefaults(server::ServerConfig config) {
        config.host = "127.0.0.1";
        config.port = 0;
        config.log = false;
        return config;
    }

    asio::io_context m_io;
    server::Server m_server;
    bool m_started = false;
    std::thread m_thread;
};
