#pragma once
// MD5 (RFC 1321) and the "$1$" MD5-crypt password hash that the Protect tag stores.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace swf {

class TMD5 {
 public:
  TMD5();
  void Update(const void* data, size_t size);
  void Update(std::string_view s) { Update(s.data(), s.size()); }
  std::array<uint8_t, 16> Final();

 private:
  void Transform(const uint8_t block[64]);
  uint32_t state_[4];
  uint64_t length_ = 0;
  uint8_t buffer_[64];
};

std::array<uint8_t, 16> MD5(std::string_view data);

// "$1$" + salt + "$" + 22 hash characters. A salt starting with "$1$" loses that
// prefix; only its first two characters are used; a shorter salt is replaced
// by two random characters.
std::string MD5Crypt(std::string_view password, std::string_view salt = {});

}  // namespace swf
