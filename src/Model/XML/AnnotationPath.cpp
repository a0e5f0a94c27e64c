#include "AnnotationPath.h"

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string AnnotationPath::withoutExtension(std::string relative) {
  // Only a dot in the file name itself starts an extension, not one in a
  // folder name.
  const std::size_t separator = relative.find_last_of("/\\");
  const std::size_t dot = relative.rfind('.');
  if (dot != std::string::npos && (separator == std::string::npos || dot > separator)) relative.erase(dot);
  return relative;
}

std::string AnnotationPath::pictureBaseName(const std::string& imagePath) {
  const std::size_t separator = imagePath.find_last_of("/\\");
  return withoutExtension(separator == std::string::npos ? imagePath : imagePath.substr(separator + 1));
}

std::string AnnotationPath::forPicture(const std::string& xmlFolder, const std::string& imagePath) {
  return xmlFolder + "/" + pictureBaseName(imagePath) + ".xml";
}

std::string AnnotationPath::mirrored(const std::string& xmlFolder, const std::string& imageFolder,
                                     const std::string& imagePath) {
  const bool below = !imageFolder.empty() && imagePath.size() > imageFolder.size() + 1 &&
                     imagePath.compare(0, imageFolder.size(), imageFolder) == 0 &&
                     isSeparator(imagePath[imageFolder.size()]);
  if (!below) return forPicture(xmlFolder, imagePath);
  return xmlFolder + "/" + withoutExtension(imagePath.substr(imageFolder.size() + 1)) + ".xml";
}
