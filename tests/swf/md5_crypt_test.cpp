#include "swf/core/md5_crypt.h"

#include <gtest/gtest.h>

namespace {

// Expected hashes from an independent implementation:
// `openssl passwd -1 -salt SALT PASSWORD`.
TEST(MD5Crypt, AgreesWithOpenssl) {
  struct Row { const char* password; const char* salt; const char* hash; };
  const Row rows[] = {
      {"", "ab", "$1$ab$rn6aQS/o7141mj179E/zA."},
      {"a", "./", "$1$./$KWWO8K7FnBT1kkSIZ7f6M1"},
      {"password", "ab", "$1$ab$oKsM6dtDD2L1bKowOBX.7."},
      {"password", "Zz", "$1$Zz$PSRAzNtEB/GauDgxKJkS01"},
      {"Vellumet banner 2026", "./", "$1$./$VweDsBSKnc.vj8sAlYSqZ1"},
      {"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", "ab",
       "$1$ab$xYxcg6Ku8Fq4wHdUunBv1."},  // longer than the 64-byte MD5 block
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.password);
    EXPECT_EQ(swf::MD5Crypt(r.password, r.salt), r.hash);
  }
}

TEST(MD5Crypt, SaltRules) {
  // The "$1$" prefix is dropped and only two characters are used.
  EXPECT_EQ(swf::MD5Crypt("password", "$1$abcdef"), "$1$ab$oKsM6dtDD2L1bKowOBX.7.");
  EXPECT_EQ(swf::MD5Crypt("password", "abcdef"), "$1$ab$oKsM6dtDD2L1bKowOBX.7.");

  // Too short or no salt: two random characters of the crypt alphabet.
  for (const char* salt : {"", "a", "$1$", "$1$x"}) {
    SCOPED_TRACE(salt);
    const std::string hash = swf::MD5Crypt("password", salt);
    ASSERT_EQ(hash.size(), 3u + 2 + 1 + 22);
    EXPECT_EQ(hash.substr(0, 3), "$1$");
    EXPECT_EQ(hash[5], '$');
    const std::string alphabet =
        "./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    for (char c : hash.substr(3, 2) + hash.substr(6)) EXPECT_NE(alphabet.find(c), std::string::npos);
    // The random salt is usable again to reproduce the hash.
    EXPECT_EQ(swf::MD5Crypt("password", hash.substr(3, 2)), hash);
  }
}

TEST(MD5Crypt, RandomSaltsDiffer) {
  // 4096 possible salts: ten draws all equal would mean the salt is not random.
  const std::string first = swf::MD5Crypt("secret");
  bool anyDifferent = false;
  for (int i = 0; i < 10; ++i) anyDifferent |= swf::MD5Crypt("secret") != first;
  EXPECT_TRUE(anyDifferent);
}

}  // namespace
