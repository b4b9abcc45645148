// Test keys and signatures on libgcrypt, the library the checks use.
#include "fakes/update_signer.h"

#include <gcrypt.h>

#include <stdexcept>

namespace skyvigil::testing {

namespace {

std::string Token(gcry_sexp_t list, const char* name) {
  gcry_sexp_t token = gcry_sexp_find_token(list, name, 0);
  std::size_t size = 0;
  const char* data = token ? gcry_sexp_nth_data(token, 1, &size) : nullptr;
  std::string bytes = data ? std::string(data, size) : std::string();
  gcry_sexp_release(token);
  // libgcrypt may mark a compressed Ed25519 point with a 0x40 byte.
  if (bytes.size() == 33 && bytes[0] == 0x40)
    bytes.erase(0, 1);
  return bytes;
}

std::string SignBytes(const TestSigningKey& key, std::string_view message) {
  gcry_sexp_t secret = nullptr, data = nullptr, signature = nullptr;
  gcry_sexp_build(
      &secret, nullptr, "(private-key (ecc (curve Ed25519) (flags eddsa) (q %b) (d %b)))",
      static_cast<int>(key.q.size()), key.q.data(), static_cast<int>(key.d.size()), key.d.data());
  gcry_sexp_build(&data, nullptr, "(data (flags eddsa) (hash-algo sha512) (value %b))",
                  static_cast<int>(message.size()), message.data());
  if (gcry_pk_sign(&signature, data, secret))
    throw std::runtime_error("test signing failed");
  std::string bytes = Token(signature, "r") + Token(signature, "s");
  gcry_sexp_release(secret);
  gcry_sexp_release(data);
  gcry_sexp_release(signature);
  if (bytes.size() != 64)
    throw std::runtime_error("test signature is not 64 bytes");
  return bytes;
}

}  // namespace

std::string EncodeBase64(std::string_view bytes) {
  constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    unsigned value = 0;
    for (std::size_t i = 0; i < 3; ++i)
      value = value << 8 | (at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0);
    for (std::size_t i = 0; i < 4; ++i)
      text += i <= bytes.size() - at ? kAlphabet[value >> (18 - 6 * i) & 63] : '=';
  }
  return text;
}

TestSigningKey MakeTestSigningKey(unsigned char id_byte) {
  HashBlake2b512("");  // libgcrypt is set up by the first call of the port
  gcry_sexp_t parameters = nullptr, pair = nullptr;
  gcry_sexp_build(&parameters, nullptr, "(genkey (ecc (curve Ed25519) (flags eddsa)))");
  if (gcry_pk_genkey(&pair, parameters))
    throw std::runtime_error("test key generation failed");
  TestSigningKey key;
  key.q = Token(pair, "q");
  key.d = Token(pair, "d");
  gcry_sexp_release(parameters);
  gcry_sexp_release(pair);
  key.key_id.fill(id_byte);
  key.public_key = EncodeBase64("Ed" + std::string(8, static_cast<char>(id_byte)) + key.q);
  return key;
}

std::string SignForTest(const TestSigningKey& key, std::string_view file,
                        std::string_view trusted_comment, std::string_view algorithm) {
  const Blake2b512Digest digest = HashBlake2b512(file);
  const std::string signature = SignBytes(
      key, algorithm == "ED"
               ? std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size())
               : file);
  const std::string global = SignBytes(key, signature + std::string(trusted_comment));
  return "untrusted comment: signature from a test key\n" +
         EncodeBase64(std::string(algorithm) + std::string(key.key_id.begin(), key.key_id.end()) +
                      signature) +
         "\ntrusted comment: " + std::string(trusted_comment) + "\n" + EncodeBase64(global) + "\n";
}

}  // namespace skyvigil::testing
