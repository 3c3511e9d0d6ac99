// A picture as the fill of a shape: the image character and the shape meet
// through the movie (the picture is defined before the shape that uses it).
#include <gtest/gtest.h>

#include <fstream>

#include "support/bytes.h"
#include "support/pictures.h"
#include "swf/core/control_tags.h"
#include "swf/objects/flash_image.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_place_object.h"
#include "swf/objects/flash_shape.h"

namespace {

std::string WriteFile(const std::string& name, const vtest::Bytes& bytes) {
  const std::string path = vtest::TestTempDir() + "/" + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  return path;
}

TEST(ImageFill, ShapeFilledWithARealPictureParses) {
  const std::string jpeg = WriteFile("fill.jpg", vtest::MakeJpeg(16, 8, false));
  swf::TFlashMovie movie(0, 0, 100, 50, 12);
  movie.SetCompressed(true);
  // The shape is made first; giving it the picture's fill moves the picture before it.
  swf::TFlashShape& shape = movie.AddRectangle(10, 10, 42, 26);
  swf::TFlashImage& image = movie.AddImage(jpeg);
  ASSERT_EQ(image.ImageWidth(), 16);
  swf::TSWFImageFill& fill = shape.SetImageFill(image, 0, 2, 2);
  EXPECT_EQ(fill.ImageID, image.GetCharacterID());
  movie.PlaceObject(&shape, 1);
  movie.ShowFrame();

  const auto& objects = movie.Objects();
  const auto position = [&](const swf::TBasedSWFObject* o) {
    for (size_t i = 0; i < objects.size(); ++i)
      if (objects[i].get() == o) return i;
    return objects.size();
  };
  EXPECT_LT(position(&image), position(&shape));

  movie.MakeData();
  vtest::KeepSwfForParserCheck("image-fill.swf", movie.SaveToBytes());
}

}  // namespace
