#include "PictureDecodeBound.h"

#include <opencv2/core.hpp>
#include <utility>

#include "PictureFileCheck.h"

namespace {

thread_local PictureDecodeBound* boundOfThread = nullptr;

// OpenCV's own allocator behind the bound of the calling thread: a matrix
// the bound refuses is never reserved.
class BoundedAllocator : public cv::MatAllocator {
 public:
  cv::UMatData* allocate(int dims, const int* sizes, int type, void* data, size_t* step, cv::AccessFlag flags,
                         cv::UMatUsageFlags usage) const override {
    if (boundOfThread != nullptr && data == nullptr && dims == 2 && !boundOfThread->admits(sizes[0], sizes[1]))
      CV_Error(cv::Error::StsNoMem, boundOfThread->refusal());
    return standard->allocate(dims, sizes, type, data, step, flags, usage);
  }
  bool allocate(cv::UMatData* data, cv::AccessFlag flags, cv::UMatUsageFlags usage) const override {
    return standard->allocate(data, flags, usage);
  }
  // A matrix keeps the allocator that made it, OpenCV's own, which alone
  // releases it.
  void deallocate(cv::UMatData* data) const override { standard->deallocate(data); }

 private:
  cv::MatAllocator* const standard = cv::Mat::getStdAllocator();
};

// Put in place as the program starts, before any thread makes a matrix; it
// lives as long as the process, since matrices are made until its end.
[[maybe_unused]] const bool boundedAllocatorInstalled = [] {
  cv::Mat::setDefaultAllocator(new BoundedAllocator);
  return true;
}();

}  // namespace

PictureDecodeBound::PictureDecodeBound(std::string path, std::uint64_t limitBytes)
    : path(std::move(path)), limitBytes(limitBytes), outer(boundOfThread) {
  boundOfThread = this;
}

PictureDecodeBound::~PictureDecodeBound() { boundOfThread = outer; }

bool PictureDecodeBound::admits(int rows, int columns) {
  // A matrix with a longer side is no picture of the decoder's (OpenCV
  // refuses such a picture itself) but one of its buffers, as long as a
  // row or the file.
  if (rows > PictureFileCheck::largestSide || columns > PictureFileCheck::largestSide) return true;
  const std::string refusal = PictureFileCheck::detectionRefusal(path, columns, rows, limitBytes);
  if (refusal.empty()) return true;
  if (refused.empty()) refused = refusal;
  return false;
}
