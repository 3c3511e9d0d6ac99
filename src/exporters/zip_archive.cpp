#include "exporters/zip_archive.h"

#include <zip.h>

#include <ctime>
#include <memory>

#include "platform/error.h"

namespace exporters {
namespace {

using platform::TVellumetError;

// 1 January 2000, local time: the date every written entry carries.
time_t FixedDate() {
  std::tm date{};
  date.tm_year = 100;
  date.tm_mday = 1;
  date.tm_isdst = -1;
  return std::mktime(&date);
}

struct TSourceFree {
  void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using TSource = std::unique_ptr<zip_source_t, TSourceFree>;

void AddEntry(zip_t* archive, const TZipEntry& entry, time_t date) {
  zip_int64_t index;
  if (entry.IsFolder) {
    index = zip_dir_add(archive, entry.Name.c_str(), ZIP_FL_ENC_UTF_8);
  } else {
    zip_source_t* data = zip_source_buffer(archive, entry.Bytes.data(), entry.Bytes.size(), 0);
    index = data ? zip_file_add(archive, entry.Name.c_str(), data, ZIP_FL_ENC_UTF_8) : -1;
    if (data && index < 0) zip_source_free(data);
    if (index >= 0) zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 9);
  }
  if (index < 0)
    throw TVellumetError("Cannot add " + entry.Name +
                         " to the ZIP archive: " + zip_strerror(archive));
  zip_file_set_mtime(archive, zip_uint64_t(index), date, 0);
}

std::vector<uint8_t> SourceBytes(zip_source_t* source) {
  zip_stat_t stat;
  if (zip_source_open(source) < 0) throw TVellumetError("Cannot read the written ZIP archive");
  std::vector<uint8_t> bytes;
  if (zip_source_stat(source, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
    bytes.resize(stat.size);
    zip_int64_t got = zip_source_read(source, bytes.data(), bytes.size());
    bytes.resize(got < 0 ? 0 : size_t(got));
  }
  zip_source_close(source);
  return bytes;
}

std::vector<uint8_t> ReadEntryBytes(zip_t* archive, zip_uint64_t index, uint64_t size,
                                    const std::string& name) {
  std::vector<uint8_t> bytes(size);
  zip_file_t* file = zip_fopen_index(archive, index, 0);
  if (!file)
    throw TVellumetError("Cannot open " + name + " in the ZIP archive: " + zip_strerror(archive));
  zip_int64_t got = size ? zip_fread(file, bytes.data(), size) : 0;
  // Reading past the end settles the CRC check.
  uint8_t extra;
  zip_int64_t more = zip_fread(file, &extra, 1);
  std::string fault = got < 0 || more < 0 ? zip_file_strerror(file) : "";
  zip_fclose(file);
  if (!fault.empty() || uint64_t(got) != size || more != 0)
    throw TVellumetError("Damaged entry " + name + " in the ZIP archive" +
                         (fault.empty() ? std::string() : ": " + fault));
  return bytes;
}

}  // namespace

std::vector<uint8_t> WriteZip(const std::vector<TZipEntry>& entries) {
  zip_error_t error;
  zip_error_init(&error);
  TSource source(zip_source_buffer_create(nullptr, 0, 0, &error));
  zip_t* archive = source ? zip_open_from_source(source.get(), ZIP_TRUNCATE, &error) : nullptr;
  if (!archive) {
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw TVellumetError("Cannot make a ZIP archive: " + text);
  }
  zip_error_fini(&error);
  zip_source_keep(source.get());  // the archive's close would free it otherwise
  time_t date = FixedDate();
  try {
    for (const TZipEntry& entry : entries) AddEntry(archive, entry, date);
  } catch (...) {
    zip_discard(archive);
    throw;
  }
  if (zip_close(archive) < 0) {
    std::string text = zip_strerror(archive);
    zip_discard(archive);
    throw TVellumetError("Cannot write the ZIP archive: " + text);
  }
  return SourceBytes(source.get());
}

std::vector<TZipEntry> ReadZip(const std::vector<uint8_t>& zip, const TZipLimits& limits) {
  // libzip takes no bytes for an archive of no entries; a file is not one.
  if (zip.empty()) throw TVellumetError("Not a readable ZIP archive: the file is empty");
  zip_error_t error;
  zip_error_init(&error);
  TSource source(zip_source_buffer_create(zip.data(), zip.size(), 0, &error));
  zip_t* archive =
      source ? zip_open_from_source(source.get(), ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
  if (!archive) {
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw TVellumetError("Not a readable ZIP archive: " + text);
  }
  zip_error_fini(&error);
  zip_source_keep(source.get());
  std::unique_ptr<zip_t, decltype(&zip_discard)> owner(archive, zip_discard);

  zip_int64_t count = zip_get_num_entries(archive, 0);
  if (count < 0 || uint64_t(count) > limits.MaxEntries)
    throw TVellumetError("The ZIP archive has " + std::to_string(count) +
                         " entries, more than the " + std::to_string(limits.MaxEntries) + " read");
  std::vector<TZipEntry> entries;
  uint64_t total = 0;
  for (zip_uint64_t i = 0; i < zip_uint64_t(count); ++i) {
    zip_stat_t stat;
    if (zip_stat_index(archive, i, 0, &stat) < 0 || !(stat.valid & ZIP_STAT_NAME))
      throw TVellumetError("Damaged entry " + std::to_string(i + 1) + " in the ZIP archive");
    TZipEntry entry;
    entry.Name = stat.name;
    entry.CompressedSize = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
    entry.IsFolder = !entry.Name.empty() && entry.Name.back() == '/';
    uint64_t size = (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
    if (size > limits.MaxTotalBytes - total)
      throw TVellumetError("The ZIP archive unpacks to more than " +
                           std::to_string(limits.MaxTotalBytes >> 20) + " MB");
    total += size;
    if (!entry.IsFolder) entry.Bytes = ReadEntryBytes(archive, i, size, entry.Name);
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace exporters
