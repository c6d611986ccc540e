// SHA-256 (FIPS 180-4) of bytes fed in pieces: the content hash of every imported file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace darv::submissions {

class Sha256
{
public:
    Sha256();
    void add(std::string_view bytes);
    // The hash in 64 lower-case hex digits; the object is used up.
    std::string hex();

private:
    void block(const unsigned char* data);

    std::array<std::uint32_t, 8> m_state;
    std::array<unsigned char, 64> m_pending{};
    std::size_t m_pendingSize = 0;
    std::uint64_t m_length = 0;
};

std::string sha256Hex(std::string_view bytes);

} // namespace darv::submissions
