#pragma once
// Base64 with the standard alphabet, as media blocks of project files use it.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace project {

// 57 input bytes make one full 76-character line.
constexpr size_t Base64LineBytes = 57;

// Appends the Base64 text of `data` (with "=" padding, no line breaks).
void AppendBase64(std::string& out, std::span<const uint8_t> data);

// Decodes Base64 text; line breaks and every other character outside the
// alphabet are skipped, and decoding stops at the first "=".
std::vector<uint8_t> DecodeBase64(std::string_view text);

}  // namespace project
