#include "core/ctr_drbg.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <cstring>

namespace quillon {
namespace {

// AES-256-CTR, looked up once: OpenSSL started without its configuration file, which nothing
// here needs and which would cost every split a file lookup. Null when OpenSSL fails.
EVP_CIPHER* Aes256Ctr() {
  static EVP_CIPHER* const cipher = [] {
    OPENSSL_init_crypto(OPENSSL_INIT_NO_LOAD_CONFIG, nullptr);
    return EVP_CIPHER_fetch(nullptr, "AES-256-CTR", nullptr);
  }();
  return cipher;
}

// V + 1 as a 128-bit big-endian number: the first counter block of a keystream.
void NextCounter(const uint8_t (&v)[16], uint8_t (&out)[16]) {
  std::memcpy(out, v, 16);
  for (int i = 15; i >= 0 && ++out[i] == 0; --i) {
  }
}

}  // namespace

CtrDrbg::CtrDrbg() : m_ctx(EVP_CIPHER_CTX_new()) {}

CtrDrbg::~CtrDrbg() {
  OPENSSL_cleanse(m_key, sizeof m_key);
  OPENSSL_cleanse(m_v, sizeof m_v);
  EVP_CIPHER_CTX_free(m_ctx);
}

// E(Key, V + 1), E(Key, V + 2), ...: AES-256 in counter mode over zeros, whose counter is the
// whole 128-bit block as the standard's is.
bool CtrDrbg::KeyStream(uint8_t* out, size_t length) {
  uint8_t counter[16];
  NextCounter(m_v, counter);
  int written = 0;
  std::memset(out, 0, length);
  const EVP_CIPHER* cipher = Aes256Ctr();
  return m_ctx != nullptr && cipher != nullptr &&
         EVP_EncryptInit_ex2(m_ctx, cipher, m_key, counter, nullptr) == 1 &&
         EVP_EncryptUpdate(m_ctx, out, &written, out, static_cast<int>(length)) == 1 &&
         written == static_cast<int>(length);
}

// The standard's CTR_DRBG_Update: the next 48 bytes of keystream, xored with provided, become
// the new key and counter.
bool CtrDrbg::Update(const uint8_t* provided) {
  uint8_t temp[kSeedBytes];
  if (!KeyStream(temp, sizeof temp))
    return false;
  for (size_t i = 0; i < kSeedBytes; ++i)
    temp[i] ^= provided[i];
  std::memcpy(m_key, temp, 32);
  std::memcpy(m_v, temp + 32, 16);
  OPENSSL_cleanse(temp, sizeof temp);
  return true;
}

bool CtrDrbg::Instantiate(const uint8_t (&seed)[kSeedBytes]) {
  std::memset(m_key, 0, sizeof m_key);
  std::memset(m_v, 0, sizeof m_v);
  m_requests = 0;
  return Update(seed);
}

bool CtrDrbg::Reseed(const uint8_t (&seed)[kSeedBytes]) {
  m_requests = 0;
  return Update(seed);
}

bool CtrDrbg::Generate(uint8_t* out, size_t length) {
  if (length % 16 != 0 || length > kMaxRequest || !KeyStream(out, length))
    return false;
  // V moved on by the blocks given; the update continues the same keystream past them.
  uint64_t add = length / 16;
  unsigned carry = 0;
  for (int i = 15; i >= 0; --i) {
    const unsigned sum = m_v[i] + static_cast<unsigned>(add & 0xFF) + carry;
    m_v[i] = static_cast<uint8_t>(sum);
    carry = sum >> 8;
    add >>= 8;
  }
  static const uint8_t kNoInput[kSeedBytes] = {};
  ++m_requests;
  return Update(kNoInput);
}

}  // namespace quillon
