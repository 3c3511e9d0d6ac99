#include "swf/core/md5_crypt.h"

#include <cstring>
#include <random>

namespace swf {

namespace {

constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr uint8_t kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

constexpr char kAlphabet[] = "./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

uint32_t RotateLeft(uint32_t x, unsigned n) { return (x << n) | (x >> (32 - n)); }

void AppendBase64(std::string& out, uint32_t value, int digits) {
  for (int i = 0; i < digits; ++i, value >>= 6) out += kAlphabet[value & 0x3F];
}

std::string RandomSalt() {
  static std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<int> pick(0, 63);
  return {kAlphabet[pick(generator)], kAlphabet[pick(generator)]};
}

}  // namespace

TMD5::TMD5() : state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

void TMD5::Transform(const uint8_t block[64]) {
  uint32_t m[16];
  for (int i = 0; i < 16; ++i)
    m[i] = block[i * 4] | (block[i * 4 + 1] << 8) | (block[i * 4 + 2] << 16) |
           (uint32_t(block[i * 4 + 3]) << 24);
  uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
  for (int i = 0; i < 64; ++i) {
    uint32_t f;
    int g;
    if (i < 16) { f = (b & c) | (~b & d); g = i; }
    else if (i < 32) { f = (d & b) | (~d & c); g = (5 * i + 1) % 16; }
    else if (i < 48) { f = b ^ c ^ d; g = (3 * i + 5) % 16; }
    else { f = c ^ (b | ~d); g = (7 * i) % 16; }
    const uint32_t next = b + RotateLeft(a + f + kSine[i] + m[g], kShift[i]);
    a = d;
    d = c;
    c = b;
    b = next;
  }
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
}

void TMD5::Update(const void* data, size_t size) {
  auto* p = static_cast<const uint8_t*>(data);
  size_t used = size_t(length_ % 64);
  length_ += size;
  while (size > 0) {
    const size_t take = std::min(size, 64 - used);
    std::memcpy(buffer_ + used, p, take);
    used += take;
    p += take;
    size -= take;
    if (used == 64) {
      Transform(buffer_);
      used = 0;
    }
  }
}

std::array<uint8_t, 16> TMD5::Final() {
  const uint64_t bits = length_ * 8;
  const uint8_t pad = 0x80, zero = 0;
  Update(&pad, 1);
  while (length_ % 64 != 56) Update(&zero, 1);
  uint8_t lengthBytes[8];
  for (int i = 0; i < 8; ++i) lengthBytes[i] = uint8_t(bits >> (8 * i));
  Update(lengthBytes, 8);
  std::array<uint8_t, 16> digest;
  for (int i = 0; i < 16; ++i) digest[i] = uint8_t(state_[i / 4] >> (8 * (i % 4)));
  return digest;
}

std::array<uint8_t, 16> MD5(std::string_view data) {
  TMD5 md5;
  md5.Update(data);
  return md5.Final();
}

std::string MD5Crypt(std::string_view password, std::string_view salt) {
  static constexpr std::string_view kMagic = "$1$";
  if (salt.substr(0, 3) == kMagic) salt.remove_prefix(3);
  const std::string s = salt.size() >= 2 ? std::string(salt.substr(0, 2)) : RandomSalt();
  const std::string_view p = password;

  TMD5 alternate;
  alternate.Update(p);
  alternate.Update(s);
  alternate.Update(p);
  const auto a = alternate.Final();

  TMD5 context;
  context.Update(p);
  context.Update(kMagic);
  context.Update(s);
  for (size_t left = p.size(); left > 0; left -= std::min<size_t>(left, 16))
    context.Update(a.data(), std::min<size_t>(left, 16));
  for (size_t bits = p.size(); bits > 0; bits >>= 1) {
    const uint8_t zero = 0;
    if (bits & 1) context.Update(&zero, 1);
    else context.Update(p.data(), 1);
  }
  auto f = context.Final();

  for (int i = 0; i < 1000; ++i) {
    TMD5 round;
    if (i & 1) round.Update(p);
    else round.Update(f.data(), 16);
    if (i % 3) round.Update(s);
    if (i % 7) round.Update(p);
    if (i & 1) round.Update(f.data(), 16);
    else round.Update(p);
    f = round.Final();
  }

  std::string out = std::string(kMagic) + s + "$";
  const int groups[5][3] = {{0, 6, 12}, {1, 7, 13}, {2, 8, 14}, {3, 9, 15}, {4, 10, 5}};
  for (const auto& g : groups) AppendBase64(out, (f[g[0]] << 16) | (f[g[1]] << 8) | f[g[2]], 4);
  AppendBase64(out, f[11], 2);
  return out;
}

}  // namespace swf
