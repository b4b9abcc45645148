// Fuzzes the reading of a downloaded Skyvigil.zip.minisig and of the trusted
// comment in it. No input passes the check: forging a signature is not the
// fuzzer's to do, so an accepted one is a fault of the reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "update/update_signature.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyvigil;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const MinisignRead read = ReadMinisignSignature(text);
  if (read.error.empty()) {
    if (read.signature.algorithm.size() != 2)
      std::abort();
    ReadTrustedComment(read.signature.trusted_comment);
  }
  ReadMinisignPublicKey(text);
  // The key of the signature in seeds/update_signature.
  static const UpdateTrust trust{{"RWTpexF3OM6Fmtng7NAXlaD4vX6q9VoT1pBu+kDz8JqgRcUF76uPRKK0"}, 23};
  if (CheckUpdateSignature("hello world\n", text, "Skyvigil.zip", trust).empty())
    std::abort();
  return 0;
}
