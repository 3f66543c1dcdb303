#pragma once

#include <cstdint>
#include <string_view>

namespace rinvo {

inline constexpr std::uint64_t Fnv1aStart = 0xCBF29CE484222325ull;

/// FNV-1a over 64 bits: quick, enough to tell a damaged or cut file from a whole one, or to name
/// a file after a text. Hashing more bytes continues from the hash given.
inline std::uint64_t fnv1a(std::string_view bytes, std::uint64_t hash = Fnv1aStart)
{
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 0x100000001B3ull;
    return hash;
}

} // namespace rinvo
