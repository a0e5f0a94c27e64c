#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "AnnotationPath.h"

namespace {

TEST(AnnotationPathTest, MirrorsThePictureFolderUnderTheXmlFolder) {
  struct Case {
    const char* xml;
    const char* images;
    const char* picture;
    const char* annotation;
  };
  const Case cases[] = {
      {"D:/xml", "C:/img", "C:/img/f02.png", "D:/xml/f02.xml"},
      {"D:/xml", "C:/img", "C:/img/set1/f01.jpg", "D:/xml/set1/f01.xml"},
      {"C:/xml", "D:\\data", "D:\\data\\fish.2.tif", "C:/xml/fish.2.xml"},
      {"C:/xml", "C:/img", "C:/img/scan", "C:/xml/scan.xml"},
      {"C:/xml", "C:/img.d", "C:/img.d/scan", "C:/xml/scan.xml"},
      // Outside the picture folder: the file name alone, never a piece of
      // another path.
      {"C:/xml", "C:/img", "E:/other/f03.png", "C:/xml/f03.xml"},
      {"C:/xml", "C:/img", "C:/images/f04.png", "C:/xml/f04.xml"},
      {"C:/xml", "C:/img/deep/folder", "a.png", "C:/xml/a.xml"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AnnotationPath::mirrored(c.xml, c.images, c.picture), c.annotation) << c.picture;
}

TEST(ImageBaseName, KeepsTheFileNameUpToItsLastPoint) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"gonada.ppm", "gonada"},
      {"C:\\data\\slide.01.tif", "slide.01"},
      {"/a.b/c", "c"},
      {"noext", "noext"},
      {"/data/set/cell.png", "cell"},
      {"", ""},
      {"C:/mixed\\folder/x.y.jpeg", "x.y"},
  };
  for (const auto& [path, base] : cases) EXPECT_EQ(AnnotationPath::pictureBaseName(path), base) << path;
}

}  // namespace
