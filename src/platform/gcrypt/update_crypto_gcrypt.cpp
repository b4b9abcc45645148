// The update signature's primitives on libgcrypt, on Linux and in the mingw build.
#include <gcrypt.h>

#include <mutex>

#include "ports/update_crypto.h"

namespace skyvigil {

namespace {

// libgcrypt must be told once that nothing here needs its secure memory.
void InitializeOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    gcry_check_version(nullptr);
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
  });
}

struct Sexp {
  gcry_sexp_t value = nullptr;
  ~Sexp() { gcry_sexp_release(value); }
};

}  // namespace

Blake2b512Digest HashBlake2b512(std::string_view bytes) {
  InitializeOnce();
  Blake2b512Digest digest{};
  gcry_md_hash_buffer(GCRY_MD_BLAKE2B_512, digest.data(), bytes.data(), bytes.size());
  return digest;
}

bool VerifyEd25519(const Ed25519Signature& signature, std::string_view message,
                   const Ed25519PublicKey& key) {
  InitializeOnce();
  Sexp public_key, signed_value, data;
  if (gcry_sexp_build(&public_key.value, nullptr,
                      "(public-key (ecc (curve Ed25519) (flags eddsa) (q %b)))",
                      static_cast<int>(key.size()), key.data()) ||
      gcry_sexp_build(&signed_value.value, nullptr, "(sig-val (eddsa (r %b) (s %b)))", 32,
                      signature.data(), 32, signature.data() + 32) ||
      gcry_sexp_build(&data.value, nullptr, "(data (flags eddsa) (hash-algo sha512) (value %b))",
                      static_cast<int>(message.size()), message.data()))
    return false;
  return gcry_pk_verify(signed_value.value, data.value, public_key.value) == 0;
}

}  // namespace skyvigil
