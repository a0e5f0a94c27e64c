#ifndef ANNOTATIONPATH_H
#define ANNOTATIONPATH_H

#include <string>

// Where the annotation file of a picture lives. Separators may be "/" or "\".
class AnnotationPath {
 public:
  // The XML folder, "/", the picture's file name without folder and without
  // its last extension, ".xml".
  static std::string forPicture(const std::string& xmlFolder, const std::string& imagePath);
  // The XML folder mirrors the picture folder: the picture's path below
  // `imageFolder`, without its last extension, under `xmlFolder`, ".xml". A
  // picture outside `imageFolder` is looked up by its file name alone.
  static std::string mirrored(const std::string& xmlFolder, const std::string& imageFolder,
                              const std::string& imagePath);
  // The picture's file name after the last "/" or "\", without its last
  // extension: what the save choosers propose for it.
  static std::string pictureBaseName(const std::string& imagePath);

 private:
  static std::string withoutExtension(std::string relative);
};

#endif
