// libFuzzer target: any byte stream as the server's side of the client's connection, read frame
// by frame with the client's own reader until the stream ends. Every frame returned must be the
// stream's next frame, and the way the reading stops must match where and how the stream ends.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/support/FuzzCheck.h"
#include "net/FrameReader.h"
#include "tests/support/TestSockets.h"
#include "wire/Framing.h"

namespace {

// A connected pair with the whole input already written to one end and that end closed, so the
// reader never blocks. Inputs larger than the socket buffer are skipped (libFuzzer's inputs stay
// far below it).
class FedSocket {
public:
    explicit FedSocket(std::string_view bytes) {
        SocketHandle write = kNoSocket;
        if (!testnet::connectedPair(m_read, write)) return;
        testnet::setNonBlocking(write);
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const long n = testnet::sendNow(write, bytes.data() + sent, bytes.size() - sent);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        m_complete = sent == bytes.size();
        testnet::closeSocket(write);
    }
    ~FedSocket() {
        if (m_read != kNoSocket) testnet::closeSocket(m_read);
    }
    FedSocket(const FedSocket&) = delete;
    FedSocket& operator=(const FedSocket&) = delete;

    bool ready() const { return m_read != kNoSocket && m_complete; }
    SocketHandle socket() const { return m_read; }

private:
    SocketHandle m_read = kNoSocket;
    bool m_complete = false;
};

// How a reader must stop on `rest`, the bytes after the last whole frame.
FrameRead expectedEnd(std::string_view rest) {
    if (rest.size() < framing::kHeaderBytes) return FrameRead::HeaderLost;
    const std::uint32_t length =
        framing::readHeader(reinterpret_cast<const unsigned char*>(rest.data()));
    if (!framing::lengthAccepted(length)) return FrameRead::LengthRefused;
    return FrameRead::BodyLost;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view stream(reinterpret_cast<const char*>(data), size);
    FedSocket fed(stream);
    if (!fed.ready()) return 0;

    std::string text;
    std::size_t at = 0;  // start of the next frame in the stream
    FrameRead result;
    while ((result = readFrame(fed.socket(), text)) == FrameRead::Ok) {
        fuzzing::require(at + framing::kHeaderBytes + text.size() <= stream.size(),
                         "a frame lies within the stream");
        fuzzing::require(stream.substr(at + framing::kHeaderBytes, text.size()) == text,
                         "a frame's text is the stream's bytes");
        fuzzing::require(framing::lengthAccepted(static_cast<std::uint32_t>(text.size())),
                         "a frame's length is accepted");
        at += framing::kHeaderBytes + text.size();
    }
    fuzzing::require(result == expectedEnd(stream.substr(at)), "the reader stops as the stream ends");
    return 0;
}
