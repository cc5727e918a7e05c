// CTR_DRBG of NIST SP 800-90A with AES-256 and no derivation function, its AES from OpenSSL
// (EVP). The system random source draws from it: one generator keyed from the operating
// system per share set and per thread, rekeyed long before the standard's limits.
//
// OpenSSL's libcrypto is loaded on the first generator made (core/shared_library.h), so that
// commands that draw nothing never load it.
//
// Preconditions: Instantiate before Generate. Failure: every call answers false when OpenSSL
// cannot be loaded or fails (the state is then worthless; callers treat it as a failed
// source). Not thread-safe: one thread at a time per generator; generators on different
// threads are independent.
#pragma once

#include <cstddef>
#include <cstdint>

typedef struct evp_cipher_ctx_st EVP_CIPHER_CTX;

namespace quillon {

struct CryptoFunctions;

class CtrDrbg {
 public:
  // Entropy per instantiate or reseed: the key and counter lengths, 32 + 16 bytes.
  static constexpr size_t kSeedBytes = 48;
  // Most bytes one Generate may give: 2^19 bits, the standard's limit for AES.
  static constexpr size_t kMaxRequest = size_t{1} << 16;

  CtrDrbg();
  ~CtrDrbg();
  CtrDrbg(const CtrDrbg&) = delete;
  CtrDrbg& operator=(const CtrDrbg&) = delete;

  // Key and counter from zero, then mixed with seed (Instantiate), or the present state mixed
  // with seed (Reseed). Either restarts the request count.
  bool Instantiate(const uint8_t (&seed)[kSeedBytes]);
  bool Reseed(const uint8_t (&seed)[kSeedBytes]);
  // length bytes (a multiple of 16, at most kMaxRequest) of output, then the state update
  // that makes earlier output unrecoverable from the new state.
  bool Generate(uint8_t* out, size_t length);
  // Generate calls since the last Instantiate or Reseed.
  uint64_t Requests() const { return m_requests; }
  // Whether libcrypto could be loaded and gives AES-256-CTR.
  static bool Available();

 private:
  bool Update(const uint8_t* provided);
  bool KeyStream(uint8_t* out, size_t length);

  const CryptoFunctions& m_crypto;
  EVP_CIPHER_CTX* m_ctx;
  uint8_t m_key[32] = {};
  uint8_t m_v[16] = {};
  uint64_t m_requests = 0;
};

}  // namespace quillon
