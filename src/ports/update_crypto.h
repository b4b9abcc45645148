// The two primitives a signed update is checked with: BLAKE2b-512 and
// Ed25519 verification. A link-time port: one header, one library of a
// well-kept cryptography library's calls (platform/gcrypt) on every platform.
#pragma once

#include <array>
#include <string_view>

namespace skyvigil {

using Blake2b512Digest = std::array<unsigned char, 64>;
using Ed25519Signature = std::array<unsigned char, 64>;
using Ed25519PublicKey = std::array<unsigned char, 32>;

Blake2b512Digest HashBlake2b512(std::string_view bytes);

// True when `signature` is `key`'s signature of `message`.
bool VerifyEd25519(const Ed25519Signature& signature, std::string_view message,
                   const Ed25519PublicKey& key);

}  // namespace skyvigil
