// Receive throughput of the server link: a loopback server writes a burst of typical "game"
// messages, the real receive path (recvFrame, in-place decoding, the bounded queue) takes them,
// and the main thread pops them as a scene would, only without the 0.1 s pacing.
// Prints messages per second and the process's peak resident memory.
//
//   receive_bench [count]     default 100000

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "engine/backend/headless/Headless.h"
#include "net/CMessageQueue.h"
#include "tests/kit/ScriptedServer.h"

namespace {

constexpr int kDistinct = 1000;  // distinct messages in the burst, repeated in turn

std::string gameText(int i) {
    return R"({"opt":"game","per":")" + std::to_string(i % 4) + R"(","surplus":")" +
           std::to_string(27 - i % 27) + R"(","now":")" + std::to_string((i + 1) % 4) +
           R"(","cards":"4,5,6,7,8,)" + std::to_string(i % 54) + R"(,","score":")" +
           std::to_string(i % 200) + R"(","must":")" + std::to_string(i % 2) + "\"}";
}

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (count <= 0) {
        std::fprintf(stderr, "usage: %s [count > 0]\n", argv[0]);
        return 2;
    }
    engine::headless::install();

    const long baselineKiB = peakKiB();

    ScriptedServer server;
    CMessageQueue* link = CMessageQueue::getInstance();
    if (server.port() == 0 || !link->connectServerAt("127.0.0.1", server.port()) ||
        !server.accept()) {
        std::fprintf(stderr, "receive_bench: no loopback connection\n");
        return 1;
    }

    const auto start = std::chrono::steady_clock::now();
    // The server writes the burst in 64 KiB pieces as fast as the link takes them, so the
    // memory figure is the receive path's, not a prepared buffer's.
    // The frames are made beforehand so that the writer is never the bottleneck.
    std::vector<std::string> frames;
    for (int i = 0; i < kDistinct; ++i) {
        frames.push_back(frameOf(gameText(i)));
    }
    std::size_t bytesSent = 0;
    std::thread writer([&server, &bytesSent, &frames, count] {
        std::string piece;
        for (int i = 0; i < count; ++i) {
            piece += frames[i % kDistinct];
            if (piece.size() >= 64 * 1024 || i + 1 == count) {
                server.send(piece);
                bytesSent += piece.size();
                piece.clear();
            }
        }
    });
    int received = 0;
    long checksum = 0;
    const auto deadline = start + std::chrono::seconds(60);
    while (received < count && std::chrono::steady_clock::now() < deadline) {
        if (auto msg = link->popMsg()) {
            checksum += msg->score;
            ++received;
        } else {
            std::this_thread::yield();
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    writer.join();
    link->shutdown();

    long expected = 0;
    for (int i = 0; i < count; ++i) {
        expected += i % kDistinct % 200;
    }
    std::printf("receive_bench: %d messages (%zu bytes) in %.3f s: %.0f messages/s\n", received,
                bytesSent, seconds, received / seconds);
    std::printf("receive_bench: peak resident memory %ld KiB (%ld KiB before connecting)\n",
                peakKiB(), baselineKiB);
    if (received != count || checksum != expected) {
        std::fprintf(stderr, "receive_bench: got %d of %d messages, checksum %ld, expected %ld\n",
                     received, count, checksum, expected);
        return 1;
    }
    return 0;
}
