#include "TemporaryPicture.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <opencv2/imgcodecs.hpp>
#include <stdexcept>

namespace {

std::filesystem::path freshName(const std::string& extension) {
  static std::atomic<int> counter{0};
  return std::filesystem::temp_directory_path() /
         ("detection-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + extension);
}

}  // namespace

TemporaryPicture::TemporaryPicture(const cv::Mat& picture, const std::string& extension) : file(freshName(extension)) {
  if (!cv::imwrite(file.string(), picture)) throw std::runtime_error("cannot write " + file.string());
}

TemporaryPicture::TemporaryPicture(const std::string& bytes, const std::string& extension)
    : file(freshName(extension)) {
  std::ofstream(file, std::ios::binary) << bytes;
}

TemporaryPicture::~TemporaryPicture() {
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
}
