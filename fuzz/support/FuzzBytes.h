#pragma once
// The harness's reading of a fuzz input: bytes taken from the front, one decision each. Reading
// past the end gives zeros, so every input, however short, is a complete and repeatable run.

#include <cstddef>
#include <cstdint>
#include <string_view>

class FuzzBytes {
public:
    FuzzBytes(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_at >= m_size; }

    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    int signedByte() { return static_cast<std::int8_t>(byte()); }

    // Little-endian, like the seed converters write it.
    std::uint16_t u16() {
        const std::uint16_t low = byte();
        return static_cast<std::uint16_t>(low | (byte() << 8));
    }

    // Up to `count` bytes, fewer at the end of the input.
    std::string_view take(std::size_t count) {
        const std::size_t n = count < m_size - m_at ? count : m_size - m_at;
        const std::string_view text(reinterpret_cast<const char*>(m_data + m_at), n);
        m_at += n;
        return text;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};
