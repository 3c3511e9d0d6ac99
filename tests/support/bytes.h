#pragma once
// Helpers for golden-byte tests: hex("3F 03 ...") and a comparison that
// names the first differing byte.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace vtest {

using Bytes = std::vector<uint8_t>;

// Parses hex pairs; spaces, newlines and "|" separators are ignored.
Bytes hex(std::string_view text);

std::string ToHex(const Bytes& bytes);

// Succeeds when both byte strings are equal; otherwise reports the first
// differing offset and both strings around it.
testing::AssertionResult SameBytes(const Bytes& expected, const Bytes& actual);

// Reads a whole file; fails the current test when it cannot.
Bytes ReadFile(const std::string& path);

// A whole file as text, and a text written as a file (its folder made first).
std::string ReadText(const std::string& path);
void WriteText(const std::string& path, std::string_view text);

// Writes a SWF file made by a test into the folder that the independent
// parser checks after the suite; returns its path.
std::string KeepSwfForParserCheck(const std::string& name, const Bytes& swf);

// A fresh empty folder for this test's files (under the build folder).
std::string TestTempDir();

std::string TestDataPath(const std::string& name);

}  // namespace vtest
