// minisign's key and signature files, and the update's rules on top of them.
#include "update/update_signature.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>

#include "update/update_trust.h"

namespace skyvigil {

namespace {

constexpr std::string_view kUntrusted = "untrusted comment: ";
constexpr std::string_view kTrusted = "trusted comment: ";
// No release's signature file comes near this; more is not one.
constexpr std::size_t kMaxSignatureText = 4096;

// Standard base64 with its padding; nothing when anything else is in it.
std::optional<std::string> DecodeBase64(std::string_view text) {
  constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  if (text.size() % 4 != 0)
    return std::nullopt;
  std::string bytes;
  for (std::size_t at = 0; at < text.size(); at += 4) {
    unsigned value = 0;
    int padding = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      const char c = text[at + i];
      const std::size_t digit = kAlphabet.find(c);
      // '=' only at the end of the last group.
      if (c == '=' && at + 4 == text.size() && i >= 2) {
        ++padding;
        value <<= 6;
        continue;
      }
      if (digit == std::string_view::npos || padding > 0)
        return std::nullopt;
      value = value << 6 | static_cast<unsigned>(digit);
    }
    for (int i = 0; i < 3 - padding; ++i)
      bytes.push_back(static_cast<char>(value >> (16 - 8 * i) & 0xff));
  }
  return bytes;
}

template <std::size_t N>
void CopyBytes(std::string_view from, std::array<unsigned char, N>& to) {
  std::copy_n(from.begin(), N, to.begin());
}

// The text's lines without their line ends ("\n" or "\r\n").
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

std::optional<std::string> ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::optional<MinisignPublicKey> ReadMinisignPublicKey(std::string_view base64) {
  const std::optional<std::string> bytes = DecodeBase64(base64);
  if (!bytes || bytes->size() != 42 || bytes->substr(0, 2) != "Ed")
    return std::nullopt;
  MinisignPublicKey key;
  CopyBytes(std::string_view(*bytes).substr(2), key.key_id);
  CopyBytes(std::string_view(*bytes).substr(10), key.key);
  return key;
}

MinisignRead ReadMinisignSignature(std::string_view text) {
  MinisignRead read;
  const std::vector<std::string_view> lines = Lines(text.substr(0, kMaxSignatureText + 1));
  if (text.size() > kMaxSignatureText || lines.size() != 4 || !lines[0].starts_with(kUntrusted) ||
      !lines[2].starts_with(kTrusted)) {
    read.error = "its signature is not a minisign signature";
    return read;
  }
  const std::optional<std::string> signature = DecodeBase64(lines[1]);
  const std::optional<std::string> global = DecodeBase64(lines[3]);
  if (!signature || signature->size() != 74 || !global || global->size() != 64) {
    read.error = "its signature is damaged";
    return read;
  }
  MinisignSignature& sig = read.signature;
  sig.algorithm = signature->substr(0, 2);
  CopyBytes(std::string_view(*signature).substr(2), sig.key_id);
  CopyBytes(std::string_view(*signature).substr(10), sig.signature);
  sig.trusted_comment = lines[2].substr(kTrusted.size());
  CopyBytes(*global, sig.global_signature);
  return read;
}

std::optional<TrustedRelease> ReadTrustedComment(std::string_view comment) {
  std::optional<std::string_view> file, build;
  while (!comment.empty()) {
    const std::size_t end = std::min(comment.find(' '), comment.size());
    const std::string_view word = comment.substr(0, end);
    comment.remove_prefix(std::min(end + 1, comment.size()));
    // A word given twice could mean either; neither is trusted.
    for (auto [prefix, value] : {std::pair{std::string_view("file:"), &file},
                                 std::pair{std::string_view("build:"), &build}}) {
      if (!word.starts_with(prefix))
        continue;
      if (*value)
        return std::nullopt;
      *value = word.substr(prefix.size());
    }
  }
  TrustedRelease release;
  if (!file || file->empty() || !build || build->empty())
    return std::nullopt;
  const auto [end, error] =
      std::from_chars(build->data(), build->data() + build->size(), release.build);
  if (error != std::errc() || end != build->data() + build->size() || release.build < 0)
    return std::nullopt;
  release.file = std::string(*file);
  return release;
}

UpdateTrust BuiltInUpdateTrust() {
  return {{kCurrentUpdateKey, kNextUpdateKey}, kRunningBuild};
}

std::string CheckUpdateSignature(std::string_view file, std::string_view signature_text,
                                 std::string_view file_name, const UpdateTrust& trust) {
  const MinisignRead read = ReadMinisignSignature(signature_text);
  if (!read.error.empty())
    return read.error;
  const MinisignSignature& sig = read.signature;
  if (sig.algorithm != "ED")
    return "its signature is not of the file's hash";
  std::optional<MinisignPublicKey> key;
  for (const std::string& trusted : trust.keys) {
    const std::optional<MinisignPublicKey> candidate = ReadMinisignPublicKey(trusted);
    if (candidate && candidate->key_id == sig.key_id)
      key = candidate;
  }
  if (!key)
    return "it is signed with an unknown key";
  const Blake2b512Digest digest = HashBlake2b512(file);
  const std::string_view hashed(reinterpret_cast<const char*>(digest.data()), digest.size());
  if (!VerifyEd25519(sig.signature, hashed, key->key))
    return "its signature does not match it";
  const std::string signed_comment =
      std::string(reinterpret_cast<const char*>(sig.signature.data()), sig.signature.size()) +
      sig.trusted_comment;
  if (!VerifyEd25519(sig.global_signature, signed_comment, key->key))
    return "its signature's trusted comment was changed";
  const std::optional<TrustedRelease> release = ReadTrustedComment(sig.trusted_comment);
  if (!release)
    return "its signature names no file and build";
  if (release->file != file_name)
    return "its signature is for " + release->file;
  if (release->build <= trust.running_build)
    return "it is build " + std::to_string(release->build) + ", not newer than this build " +
           std::to_string(trust.running_build);
  return {};
}

std::filesystem::path SignatureFileOf(const std::filesystem::path& archive) {
  std::filesystem::path signature = archive;
  return signature += ".minisig";
}

std::string CheckDownloadedUpdate(const std::filesystem::path& archive, const UpdateTrust& trust) {
  const std::filesystem::path signature_file = SignatureFileOf(archive);
  const std::optional<std::string> signature = ReadWhole(signature_file);
  const std::optional<std::string> file = ReadWhole(archive);
  std::string refused = "it has no signature";
  if (signature && file)
    refused = CheckUpdateSignature(*file, *signature, archive.filename().string(), trust);
  if (!refused.empty()) {
    std::error_code ignored;
    std::filesystem::remove(archive, ignored);
    std::filesystem::remove(signature_file, ignored);
  }
  return refused;
}

}  // namespace skyvigil
