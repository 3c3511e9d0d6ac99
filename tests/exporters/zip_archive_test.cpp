// ZIP archives: what we write is read back by us, unzip and Python's
// zipfile; damaged or oversized archives are refused with a clear error.
#include "exporters/zip_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "platform/error.h"
#include "support/bytes.h"

namespace {

using exporters::TZipEntry;

std::vector<TZipEntry> Entries() {
  std::string text(5000, 'a');
  std::vector<uint8_t> binary;
  for (int i = 0; i < 3000; ++i) binary.push_back(uint8_t(i * 7919 >> 3));
  return {{"index.html", {text.begin(), text.end()}},
          {"img/", {}, 0, true},
          {"img/pic.png", binary},
          {"empty.js", {}}};
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(ZipArchive, WrittenEntriesReadBackHereAndInOtherTools) {
  std::vector<uint8_t> zip = exporters::WriteZip(Entries());
  EXPECT_EQ(zip, exporters::WriteZip(Entries())) << "the same entries give the same bytes";
  std::vector<TZipEntry> read = exporters::ReadZip(zip);
  ASSERT_EQ(read.size(), 4u);
  for (size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(read[i].Name, Entries()[i].Name);
    EXPECT_EQ(read[i].Bytes, Entries()[i].Bytes);
    EXPECT_EQ(read[i].IsFolder, Entries()[i].IsFolder);
  }
  EXPECT_LT(read[0].CompressedSize, 100u) << "text is deflated";

  std::string path = vtest::TestTempDir() + "/a.zip";
  WriteBytes(path, zip);
  EXPECT_EQ(std::system(("unzip -tq " + path + " > /dev/null").c_str()), 0);
  std::string python =
      "python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); "
      "sys.exit(z.testzip() is not None or len(z.read('img/pic.png')) != 3000)\" ";
  EXPECT_EQ(std::system((python + path).c_str()), 0);
}

TEST(ZipArchive, DamagedArchivesAreRefused) {
  std::vector<uint8_t> good = exporters::WriteZip(Entries());
  struct TCase {
    const char* Name;
    std::vector<uint8_t> Bytes;
    exporters::TZipLimits Limits;
    const char* Error;
  };
  std::vector<uint8_t> truncated(good.begin(), good.end() - 30);
  std::vector<uint8_t> flipped = good;
  // The last byte of the first entry's deflated data, before the second local header.
  const uint8_t header[] = {'P', 'K', 3, 4};
  auto second = std::search(flipped.begin() + 4, flipped.end(), header, header + 4);
  ASSERT_NE(second, flipped.end());
  *(second - 1) ^= 0x5A;
  exporters::TZipLimits few;
  few.MaxEntries = 3;
  exporters::TZipLimits small;
  small.MaxTotalBytes = 6000;
  const TCase cases[] = {
      {"empty", {}, {}, "Not a readable ZIP archive"},
      {"not a ZIP", {'h', 'e', 'l', 'l', 'o'}, {}, "Not a readable ZIP archive"},
      {"cut short", truncated, {}, "Not a readable ZIP archive"},
      {"damaged data", flipped, {}, "Damaged entry index.html"},
      {"too many entries", good, few, "The ZIP archive has 4 entries, more than the 3 read"},
      {"unpacks too large", good, small, "The ZIP archive unpacks to more than"},
  };
  for (const TCase& row : cases) {
    SCOPED_TRACE(row.Name);
    try {
      exporters::ReadZip(row.Bytes, row.Limits);
      ADD_FAILURE() << "read";
    } catch (const platform::TVellumetError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(row.Error, 0), 0u) << e.what();
    }
  }
}

}  // namespace
