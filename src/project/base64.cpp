#include "project/base64.h"

#include <array>

namespace project {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int8_t, 256> MakeDecodeTable() {
  std::array<int8_t, 256> table{};
  for (auto& v : table) v = -1;
  for (int i = 0; i < 64; ++i) table[uint8_t(kAlphabet[i])] = int8_t(i);
  return table;
}

constexpr auto kDecode = MakeDecodeTable();

}  // namespace

void AppendBase64(std::string& out, std::span<const uint8_t> data) {
  size_t i = 0;
  for (; i + 3 <= data.size(); i += 3) {
    uint32_t v = uint32_t(data[i]) << 16 | uint32_t(data[i + 1]) << 8 | data[i + 2];
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  size_t rest = data.size() - i;
  if (rest == 0) return;
  uint32_t v = uint32_t(data[i]) << 16 | (rest == 2 ? uint32_t(data[i + 1]) << 8 : 0);
  out += kAlphabet[v >> 18];
  out += kAlphabet[(v >> 12) & 63];
  out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
  out += '=';
}

std::vector<uint8_t> DecodeBase64(std::string_view text) {
  std::vector<uint8_t> out;
  out.reserve(text.size() / 4 * 3 + 3);
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    if (c == '=') break;
    int8_t v = kDecode[uint8_t(c)];
    if (v < 0) continue;
    bits = bits << 6 | uint32_t(v);
    if (++count == 4) {
      out.push_back(uint8_t(bits >> 16));
      out.push_back(uint8_t(bits >> 8));
      out.push_back(uint8_t(bits));
      bits = 0;
      count = 0;
    }
  }
  if (count >= 2) out.push_back(uint8_t(bits >> (6 * count - 8)));
  if (count == 3) out.push_back(uint8_t(bits >> 2));
  return out;
}

}  // namespace project
