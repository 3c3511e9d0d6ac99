#pragma once
// Model strings are bytes in Windows-1252 (the code page the project files
// were written in); these convert them to and from Unicode.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The Unicode code point of a Windows-1252 byte (undefined bytes map to themselves).
char16_t Cp1252ToUnicode(uint8_t byte);

// UTF-16 units of a Windows-1252 string, one per byte.
std::u16string Cp1252ToUtf16(std::string_view text);

std::string Cp1252ToUtf8(std::string_view text);

// Characters without a Windows-1252 byte become '?'.
std::string Utf8ToCp1252(std::string_view text);

}  // namespace platform
