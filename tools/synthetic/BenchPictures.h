#ifndef BENCHPICTURES_H
#define BENCHPICTURES_H

#include <cstdint>
#include <functional>
#include <map>
#include <opencv2/core.hpp>
#include <string>

namespace synthetic {

// Pictures of a given number of megapixels for the benchmarks, painted once
// per size into temporary files of this process and removed with the object.
class BenchPictures {
 public:
  // Paints a picture of `size`, seeded by `seed`.
  using Paint = std::function<cv::Mat(cv::Size size, std::uint32_t seed)>;

  BenchPictures(std::string prefix, Paint paint);
  ~BenchPictures();
  BenchPictures(const BenchPictures&) = delete;
  BenchPictures& operator=(const BenchPictures&) = delete;

  // The file of the picture of about `megapixels`, painted on first use.
  std::string path(int megapixels);

  // Width x height of a 4:3 picture of about `megapixels`.
  static cv::Size sizeOf(int megapixels);
  // Textured cells with and without a nucleus, one per 20,000 pixels.
  static cv::Mat cellField(cv::Size size, std::uint32_t seed);

 private:
  std::string prefix;
  Paint paint;
  std::map<int, std::string> files;
};

}  // namespace synthetic

#endif
