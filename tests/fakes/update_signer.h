// Throw-away Ed25519 keys and minisign signatures made in the test, so that
// any archive and any trusted comment can be signed. No key leaves the test.
#pragma once

#include <string>
#include <string_view>

#include "update/update_signature.h"

namespace skyvigil::testing {

struct TestSigningKey {
  std::string public_key;  // the base64 line of a minisign public key file
  MinisignKeyId key_id{};
  std::string q, d;  // libgcrypt's public point and secret seed
};

// A fresh key whose id is eight times `id_byte`.
TestSigningKey MakeTestSigningKey(unsigned char id_byte);

// What `minisign -S -t <trusted_comment>` writes for `file`, in the prehashed
// form, or with `algorithm` "Ed" the legacy one (the file itself signed).
std::string SignForTest(const TestSigningKey& key, std::string_view file,
                        std::string_view trusted_comment, std::string_view algorithm = "ED");

std::string EncodeBase64(std::string_view bytes);

}  // namespace skyvigil::testing
