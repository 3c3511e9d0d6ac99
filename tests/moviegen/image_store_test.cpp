// Pictures prepared by one build and copied into the next while their file
// stays as it was.
#include "moviegen/image_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "media/bitmap32.h"
#include "media/bmp_writer.h"
#include "support/bytes.h"
#include "swf/objects/flash_image.h"
#include "swf/objects/flash_movie.h"

namespace {

using vtest::Bytes;

// The image tag of a movie holding one image from the store.
Bytes ImageTag(moviegen::TImageStore& store, const std::string& path, size_t& fresh) {
  swf::TFlashMovie movie(0, 0, 10, 10, 12);
  std::vector<moviegen::TImageStore::TFresh> made;
  swf::TFlashImage& image = store.Add(movie, path, made);
  EXPECT_EQ(image.ImageWidth(), 2);
  movie.MakeData();
  store.Keep(made);
  fresh = made.size();
  return movie.BodyStream.Bytes();
}

TEST(ImageStore, CopiesAnUnchangedPictureAndRereadsAChangedOne) {
  namespace fs = std::filesystem;
  const std::string path = vtest::TestTempDir() + "/pic.bmp";
  media::SaveBMP(path, media::TBitmap32(2, 2, media::ARGB(255, 200, 0, 0)), 24);
  moviegen::TImageStore store;
  size_t fresh = 0;
  const Bytes first = ImageTag(store, path, fresh);
  EXPECT_EQ(fresh, 1u);
  EXPECT_EQ(store.Count(), 1u);
  EXPECT_TRUE(vtest::SameBytes(first, ImageTag(store, path, fresh)));
  EXPECT_EQ(fresh, 0u);

  // The same size and modification time, other pixels: still read anew.
  const auto time = fs::last_write_time(path);
  media::TBitmap32 blue(2, 2, media::ARGB(255, 0, 0, 200));
  const Bytes encoded = media::EncodeBMP(blue, 24);
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(encoded.data()), std::streamsize(encoded.size()));
  fs::last_write_time(path, time);
  const Bytes changed = ImageTag(store, path, fresh);
  EXPECT_EQ(fresh, 1u);
  EXPECT_FALSE(first == changed);
  EXPECT_EQ(store.Count(), 1u);

  // A file that is gone is the library's error, as without the store.
  fs::remove(path);
  swf::TFlashMovie movie(0, 0, 10, 10, 12);
  std::vector<moviegen::TImageStore::TFresh> made;
  EXPECT_ANY_THROW(store.Add(movie, path, made));
}

}  // namespace
