#include "net/FrameReader.h"

#include <cstddef>
#include <cstdint>

#include "wire/Framing.h"

namespace {

bool receiveAll(SocketHandle socket, char* data, std::size_t size) {
    for (std::size_t got = 0; got < size;) {
        const long n = recvSome(socket, data + got, size - got);
        if (n <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

FrameRead readFrame(SocketHandle socket, std::string& text) {
    unsigned char header[framing::kHeaderBytes];
    if (!receiveAll(socket, reinterpret_cast<char*>(header), sizeof header)) {
        return FrameRead::HeaderLost;
    }
    const std::uint32_t length = framing::readHeader(header);
    if (!framing::lengthAccepted(length)) {
        return FrameRead::LengthRefused;
    }
    text.resize(length);
    if (!receiveAll(socket, text.data(), length)) {
        return FrameRead::BodyLost;
    }
    return FrameRead::Ok;
}
