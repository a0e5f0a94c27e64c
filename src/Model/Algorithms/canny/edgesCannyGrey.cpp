#include "edgesCannyGrey.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <new>

#include "ImageHandle.h"
#include "ThreadTeam.h"
#include "canny_edges.h"
#include "image_convert.h"
#include "img_parallel.h"
#include "outline_builder.h"
#include "outline_overlap.h"
#include "texture.h"

namespace {

// The calling thread's points come from blocks while it lives.
struct PointPool {
  PointPool() { open_point_pool(); }
  ~PointPool() { close_point_pool(); }
  PointPool(const PointPool&) = delete;
  PointPool& operator=(const PointPool&) = delete;
};

struct ChainRelease {
  void operator()(PointList* chain) const { delete_point_list(chain, chain->num_pts); }
};
using ChainPtr = std::unique_ptr<PointList, ChainRelease>;

// Takes over an array of chains from the library: the chains are owned one
// by one, the array itself is released.
std::vector<ChainPtr> takeChains(PointList** chains, int count) {
  std::vector<ChainPtr> owned;
  try {
    owned.reserve(static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    free_PointListVector2(chains, count);
    throw;
  }
  for (int i = 0; i < count; i++) owned.emplace_back(chains[i]);
  std::free(chains);
  return owned;
}

// The chains the library found at one scale, or its failure.
struct ScaleSearch {
  bool ok = false;
  PointList** chains = nullptr;
  int count = 0;
};

// Searches every scale, the scales side by side on threads of their own
// when the library may use more than one thread (the calling thread takes
// part, and the scales of a thread that cannot start are left to the
// others). The chains are owned by the caller whatever happened; a failed
// scale holds none. An exception of a thread is thrown here once all
// ended, the chains found released.
std::vector<ScaleSearch> searchScales(const Image* plane, const std::vector<double>& sigmas, int minPoints,
                                      const std::vector<double>& low, const std::vector<double>& high) {
  std::vector<ScaleSearch> found(sigmas.size());
  std::atomic<size_t> next{0};
  auto searchRemaining = [&] {
    for (size_t k = next++; k < sigmas.size(); k = next++)
      found[k].ok = canny_edge_search(plane, sigmas[k], minPoints, static_cast<int>(low.size()), low.data(),
                                      high.data(), &found[k].chains, &found[k].count) != 0;
  };
  const bool sideBySide = imaging_threads() > 1;
  try {
    ThreadTeam::run(sideBySide ? static_cast<unsigned>(sigmas.size()) : 1, searchRemaining);
  } catch (...) {
    for (ScaleSearch& scale : found) free_PointListVector2(scale.chains, scale.count);
    throw;
  }
  return found;
}

// Whether the image has a plane to search: any grey image, and a colour
// image through its grey level (channel 0) or one of its bands (1..3).
bool hasPlane(const Image* img, int channel) {
  return is_gray_img(img) || (is_rgb_img(img) && channel >= 0 && channel <= 3);
}

// The grey plane searched of an image that has one: a grey image itself,
// or the grey level or one colour band of a colour image, made into `made`.
// Null when memory runs out.
const Image* workingPlane(const Image* img, int channel, ImagePtr& made) {
  if (is_gray_img(img)) return img;
  if (channel == 0) {
    made.reset(rgb_to_gray(img));
    return made.get();
  }
  Image* raw[3];
  get_rgb_bands(img, &raw[0], &raw[1], &raw[2]);
  ImagePtr bands[3] = {ImagePtr(raw[0]), ImagePtr(raw[1]), ImagePtr(raw[2])};
  made = std::move(bands[channel - 1]);
  return made.get();
}

// A sampled region always has LBP fractions summing to 1; they are all 0
// when the polygon covers no pixel away from its border.
bool definedFeatures(const double* features) {
  double lbpSum = 0;
  for (int i = 0; i < TEXTURE_FEATURE_COUNT; i++) {
    if (!std::isfinite(features[i])) return false;
    if (i < 10) lbpSum += features[i];
  }
  return lbpSum > 0.5;
}

}  // namespace

void free_PointListVector2(PointList** p, int n) {
  if (p == nullptr) return;
  for (int i = 0; i < n; i++) {
    if (p[i] != nullptr) delete_point_list(p[i], p[i]->num_pts);
  }
  std::free(p);
}

edgesCannyGrey::edgesCannyGrey() : edgesCanny("") {}

edgesCannyGrey::edgesCannyGrey(const std::string& filename) : edgesCanny(filename) {}

void edgesCannyGrey::appendContour(const PointList& chain) {
  std::vector<int> x, y;
  x.reserve(static_cast<size_t>(chain.num_pts));
  y.reserve(static_cast<size_t>(chain.num_pts));
  for (int i = 0; i < chain.num_pts; i++) {
    x.push_back(static_cast<int>(chain.point[i]->col));
    y.push_back(static_cast<int>(chain.point[i]->row));
  }
  xcoord.push_back(std::move(x));
  ycoord.push_back(std::move(y));
}

void edgesCannyGrey::compute(Image* img, bool flagRoundness, bool flagDiameter, bool flagOverlapTest) {
  const size_t before = xcoord.size();
  try {
    searchAllScales(img, flagRoundness, flagDiameter, flagOverlapTest);
  } catch (...) {
    // A failed search leaves no part of its own result behind; what earlier
    // searches appended stays.
    xcoord.resize(before);
    ycoord.resize(before);
    throw;
  }
}

void edgesCannyGrey::searchAllScales(Image* img, bool flagRoundness, bool flagDiameter, bool flagOverlapTest) {
  try {
    // An image without a plane to search is not searched; a plane that
    // cannot be made is a failure.
    if (!hasPlane(img, flagChannel)) return;
    ImagePtr made;
    const Image* plane = workingPlane(img, flagChannel, made);
    if (plane == nullptr) throw std::bad_alloc();
    const bool filtered = flagRoundness || flagDiameter || flagOverlapTest;
    std::vector<ScaleSearch> scales = searchScales(plane, sigmas, minPoints, lowThresholds, highThresholds);
    // Every scale's chains are owned before any is looked at, so that a
    // failure releases them all.
    std::vector<std::vector<ChainPtr>> scaleChains(scales.size());
    bool failed = false;
    for (size_t k = 0; k < scales.size(); k++) {
      failed = failed || !scales[k].ok;
      try {
        scaleChains[k] = takeChains(scales[k].chains, scales[k].count);
      } catch (const std::bad_alloc&) {
        for (size_t later = k + 1; later < scales.size(); later++)
          free_PointListVector2(scales[later].chains, scales[later].count);
        throw;
      }
    }
    if (failed) throw libraryFailure;
    // Outlines kept for the overlap test; the list grows with the scales.
    std::vector<ChainPtr> candidates;
    // The outlines' points are made and released together, many at a time.
    const PointPool pool;
    for (size_t k = 0; k < sigmas.size(); k++) {
      const double sigma = sigmas[k];
      const int nEdges = scales[k].count;
      for (ChainPtr& chain : scaleChains[k]) {
        if (filtered) {
          chain.reset(
              edgeSortedFiltered(chain.get(), roundness, minDiameter, maxDiameter, flagRoundness, flagDiameter));
          if (!chain) continue;
        }
        if (flagOverlapTest) {
          candidates.push_back(std::move(chain));
        } else {
          appendContour(*chain);
          chain.reset();
        }
      }
      std::cout << "Sigma: " << sigma << " Edges: " << nEdges
                << " After Roundness and Diameter flag: " << candidates.size() << std::endl;
    }
    if (!flagOverlapTest) return;

    int survivorCount = 0;
    std::vector<ChainPtr> survivors;
    if (!candidates.empty()) {
      std::vector<PointList*> outlines;
      outlines.reserve(candidates.size());
      for (const ChainPtr& candidate : candidates) outlines.push_back(candidate.get());
      PointList** kept = computeOverlappingTest(outlines.data(), static_cast<int>(outlines.size()), get_num_cols(img),
                                                get_num_rows(img), &survivorCount);
      if (kept == nullptr) throw std::bad_alloc();
      survivors = takeChains(kept, survivorCount);
    }
    for (const ChainPtr& survivor : survivors) appendContour(*survivor);
    std::cout << "Edges after Roundness and Diameter flag: " << candidates.size()
              << " After overlapping test: " << survivorCount << " All edges: " << xcoord.size() << std::endl;
  } catch (const std::bad_alloc&) {
    throw libraryFailure;
  }
}

std::vector<double> edgesCannyGrey::computeTextureFeatures(Image* img, std::vector<double> x, std::vector<double> y) {
  // The library stops the process on what it refuses, so refusals are
  // decided here.
  if (x.size() != y.size() || x.empty() || !is_rgb_img(img)) return {};
  const int n = static_cast<int>(x.size());
  std::unique_ptr<PointList, ChainRelease> polygon(alloc_point_list(n));
  if (!polygon) return {};
  // Slots are filled one by one so that a failed point leaves a list the
  // release can walk.
  polygon->num_pts = 0;
  for (int j = 0; j < n; j++) {
    polygon->point[j] = alloc_point(y[j], x[j]);
    if (polygon->point[j] == nullptr) return {};
    polygon->num_pts = j + 1;
  }
  polygon->type = GEN_VALID;
  std::unique_ptr<double, decltype(&std::free)> features(textureLBPColor(img, polygon.get()), &std::free);
  if (!features || !definedFeatures(features.get())) return {};
  return std::vector<double>(features.get(), features.get() + TEXTURE_FEATURE_COUNT);
}
