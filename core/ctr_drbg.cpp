#include "core/ctr_drbg.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <cstring>

#include "core/shared_library.h"

namespace quillon {

// libcrypto's few functions the generator uses, bound when the first generator is made.
struct CryptoFunctions {
  decltype(&OPENSSL_init_crypto) initCrypto = nullptr;
  decltype(&OPENSSL_cleanse) cleanse = nullptr;
  decltype(&EVP_CIPHER_fetch) cipherFetch = nullptr;
  decltype(&EVP_CIPHER_CTX_new) ctxNew = nullptr;
  decltype(&EVP_CIPHER_CTX_free) ctxFree = nullptr;
  decltype(&EVP_EncryptInit_ex2) encryptInit = nullptr;
  decltype(&EVP_EncryptUpdate) encryptUpdate = nullptr;
  // AES-256-CTR, looked up once; null when OpenSSL could not be loaded.
  EVP_CIPHER* aes256Ctr = nullptr;
};

namespace {

const CryptoFunctions& LoadCrypto() {
  static const CryptoFunctions crypto = [] {
    static SharedLibrary library("libcrypto.so.3");
    CryptoFunctions c;
    if (library.Bind(c.initCrypto, "OPENSSL_init_crypto") &&
        library.Bind(c.cleanse, "OPENSSL_cleanse") &&
        library.Bind(c.cipherFetch, "EVP_CIPHER_fetch") &&
        library.Bind(c.ctxNew, "EVP_CIPHER_CTX_new") &&
        library.Bind(c.ctxFree, "EVP_CIPHER_CTX_free") &&
        library.Bind(c.encryptInit, "EVP_EncryptInit_ex2") &&
        library.Bind(c.encryptUpdate, "EVP_EncryptUpdate") &&
        // Without its configuration file, which nothing here needs and whose reading would
        // cost every split a file lookup.
        c.initCrypto(OPENSSL_INIT_NO_LOAD_CONFIG, nullptr) == 1) {
      c.aes256Ctr = c.cipherFetch(nullptr, "AES-256-CTR", nullptr);
    }
    return c;
  }();
  return crypto;
}

// V + 1 as a 128-bit big-endian number: the first counter block of a keystream.
void NextCounter(const uint8_t (&v)[16], uint8_t (&out)[16]) {
  std::memcpy(out, v, 16);
  for (int i = 15; i >= 0 && ++out[i] == 0; --i) {
  }
}

}  // namespace

CtrDrbg::CtrDrbg() : m_crypto(LoadCrypto()) {
  m_ctx = m_crypto.aes256Ctr != nullptr ? m_crypto.ctxNew() : nullptr;
}

CtrDrbg::~CtrDrbg() {
  if (m_crypto.aes256Ctr == nullptr)
    return;
  m_crypto.cleanse(m_key, sizeof m_key);
  m_crypto.cleanse(m_v, sizeof m_v);
  m_crypto.ctxFree(m_ctx);
}

bool CtrDrbg::Available() {
  return LoadCrypto().aes256Ctr != nullptr;
}

// E(Key, V + 1), E(Key, V + 2), ...: AES-256 in counter mode over zeros, whose counter is the
// whole 128-bit block as the standard's is.
bool CtrDrbg::KeyStream(uint8_t* out, size_t length) {
  uint8_t counter[16];
  NextCounter(m_v, counter);
  int written = 0;
  std::memset(out, 0, length);
  return m_ctx != nullptr &&
         m_crypto.encryptInit(m_ctx, m_crypto.aes256Ctr, m_key, counter, nullptr) == 1 &&
         m_crypto.encryptUpdate(m_ctx, out, &written, out, static_cast<int>(length)) == 1 &&
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
  m_crypto.cleanse(temp, sizeof temp);
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
