// Signed updates in minisign's format: the archive's BLAKE2b-512 hash signed
// with Ed25519 ("ED"), and a trusted comment, signed with it, that names the
// file and its build: "file:Skyvigil.zip build:24". Releases are signed with
// minisign; both Skyvigil and updater.exe check them here.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/update_crypto.h"

namespace skyvigil {

using MinisignKeyId = std::array<unsigned char, 8>;

struct MinisignPublicKey {
  MinisignKeyId key_id{};
  Ed25519PublicKey key{};
};

// The base64 line of a minisign public key file ("RW..."); nothing when it is
// not an Ed25519 key.
std::optional<MinisignPublicKey> ReadMinisignPublicKey(std::string_view base64);

struct MinisignSignature {
  std::string algorithm;  // "ED": the hash is signed; "Ed", the file itself, is refused
  MinisignKeyId key_id{};
  Ed25519Signature signature{};
  std::string trusted_comment;
  Ed25519Signature global_signature{};  // of signature and trusted comment
};

struct MinisignRead {
  MinisignSignature signature;
  std::string error;  // empty when the four lines were read
};

// A .minisig file: untrusted comment, signature, trusted comment, global
// signature, each on its own line.
MinisignRead ReadMinisignSignature(std::string_view text);

// "file:<name> build:<number>", words in any order, others ignored.
struct TrustedRelease {
  std::string file;
  long long build = 0;
};
std::optional<TrustedRelease> ReadTrustedComment(std::string_view comment);

// What an update must be signed with and newer than.
struct UpdateTrust {
  std::vector<std::string> keys;  // base64 public keys: the current one and the next
  long long running_build = 0;
};

// The keys and the build this program was built with.
UpdateTrust BuiltInUpdateTrust();

// Empty when `signature_text` is a good signature of `file` by a trusted key,
// for `file_name` and a build newer than the running one; otherwise why not,
// e.g. "its signature does not match it".
std::string CheckUpdateSignature(std::string_view file, std::string_view signature_text,
                                 std::string_view file_name, const UpdateTrust& trust);

// The signature downloaded beside `archive`: Skyvigil.zip.minisig.
std::filesystem::path SignatureFileOf(const std::filesystem::path& archive);

// Checks a downloaded archive against the signature beside it, as
// CheckUpdateSignature; deletes both when it fails ("it has no signature" when
// there is none).
std::string CheckDownloadedUpdate(const std::filesystem::path& archive, const UpdateTrust& trust);

}  // namespace skyvigil
