#include "tests/integration/ServerProcess.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "engine/platform/FileUtils.h"

using engine::FileUtils;

namespace {

constexpr const char* kListening = "listening on 127.0.0.1:";

}  // namespace

ServerProcess::ServerProcess(const std::string& executable,
                             const std::vector<std::string>& arguments)
    : m_logDir(testsys::makeTempDir("desk-server-log")) {
    std::vector<std::string> words = {"--host", "127.0.0.1", "--port", "0"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    // No records unless the test gives a place for them: nothing goes into the real home folder.
    const auto givesPlace = [](const std::string& word) { return word == "--data" || word == "--db"; };
    if (std::none_of(arguments.begin(), arguments.end(), givesPlace)) {
        words.push_back("--no-records");
    }
    m_process.emplace(executable, words, m_logDir + "/server.log");

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (m_port == 0 && std::chrono::steady_clock::now() < deadline) {
        const std::string text = log();
        const std::size_t at = text.find(kListening);
        if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
            m_port =
                static_cast<std::uint16_t>(std::atoi(text.c_str() + at + std::strlen(kListening)));
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

ServerProcess::~ServerProcess() {
    m_process.reset();
    std::error_code ignored;
    std::filesystem::remove_all(FileUtils::pathFromUtf8(m_logDir), ignored);
}

void ServerProcess::stop() {
    if (m_process) {
        m_process->stop();
    }
}

void ServerProcess::kill() {
    if (m_process) {
        m_process->kill();
    }
}

std::string ServerProcess::log() const {
    std::ifstream file(FileUtils::pathFromUtf8(m_logDir) / "server.log");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
