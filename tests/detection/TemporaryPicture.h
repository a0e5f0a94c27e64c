#ifndef TEMPORARYPICTURE_H
#define TEMPORARYPICTURE_H

#include <filesystem>
#include <opencv2/core.hpp>
#include <string>

// A picture written to a file of its own in the temporary folder for the
// fixture's lifetime.
class TemporaryPicture {
 public:
  // `extension` picks the file format, e.g. ".png".
  TemporaryPicture(const cv::Mat& picture, const std::string& extension);
  // A file of the given bytes, e.g. text under a picture's name.
  TemporaryPicture(const std::string& bytes, const std::string& extension);
  ~TemporaryPicture();
  TemporaryPicture(const TemporaryPicture&) = delete;
  TemporaryPicture& operator=(const TemporaryPicture&) = delete;

  std::string path() const { return file.string(); }

 private:
  std::filesystem::path file;
};

#endif
