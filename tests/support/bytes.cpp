#include "support/bytes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vtest {

namespace fs = std::filesystem;

Bytes hex(std::string_view text) {
  Bytes out;
  int high = -1;
  for (char c : text) {
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else continue;
    if (high < 0) high = v;
    else { out.push_back(uint8_t(high * 16 + v)); high = -1; }
  }
  return out;
}

std::string ToHex(const Bytes& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string s;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i) s += ' ';
    s += digits[bytes[i] >> 4];
    s += digits[bytes[i] & 15];
  }
  return s;
}

testing::AssertionResult SameBytes(const Bytes& expected, const Bytes& actual) {
  if (expected == actual) return testing::AssertionSuccess();
  size_t at = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first -
              expected.begin();
  auto window = [at](const Bytes& b) {
    size_t from = at > 8 ? at - 8 : 0;
    size_t to = std::min(b.size(), at + 8);
    return ToHex(Bytes(b.begin() + long(std::min(from, b.size())), b.begin() + long(to)));
  };
  return testing::AssertionFailure()
         << "first difference at byte " << at << " (expected " << expected.size()
         << " bytes, got " << actual.size() << ")\n  expected ... " << window(expected)
         << "\n  actual   ... " << window(actual);
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const std::string& path, std::string_view text) {
  const fs::path folder = fs::path(path).parent_path();
  if (!folder.empty()) fs::create_directories(folder);
  std::ofstream(path, std::ios::binary).write(text.data(), long(text.size()));
}

std::string KeepSwfForParserCheck(const std::string& name, const Bytes& swf) {
  fs::create_directories(VELLUMET_SWF_OUT_DIR);
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string prefix = info ? std::string(info->test_suite_name()) + "." + info->name() + "." : "";
  for (char& c : prefix)
    if (c == '/') c = '_';
  std::string path = std::string(VELLUMET_SWF_OUT_DIR) + "/" + prefix + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(swf.data()), long(swf.size()));
  return path;
}

std::string TestTempDir() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "misc";
  for (char& c : name)
    if (c == '/') c = '_';
  fs::path dir = fs::path(VELLUMET_SWF_OUT_DIR).parent_path() / "test-tmp" / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
}

std::string TestDataPath(const std::string& name) {
  return std::string(VELLUMET_TEST_DATA_DIR) + "/" + name;
}

}  // namespace vtest
