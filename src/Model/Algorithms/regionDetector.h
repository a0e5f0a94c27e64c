#ifndef REGIONDETECTOR_H
#define REGIONDETECTOR_H

#include <cstddef>
#include <string>
#include <vector>

class regionShape;

// Base of the detectors that find candidate regions in one picture file:
// construct with the file and the diameter limits, compute(mode), then read
// the picture size, the outlines (pixel columns and rows) and, per outline,
// the index of its parent outline (-1 for an outer one).
class regionDetector {
 public:
  // The failures compute and the setters report, thrown as plain ints.
  enum Failure : int {
    readFailed = 2,          // OpenCV failed while reading the file
    emptyImage = 3,          // missing or unreadable file
    notColourImage = 4,      // not 8-bit three-channel data
    maskTooSmall = 5,        // a post-processing mask below 3
    analysisFailed = 6,      // OpenCV refused a step after the picture was read
    outOfMemory = 7,         // memory ran out during the analysis
  };

  regionDetector() = default;
  regionDetector(std::string filename, int minDiameter, int maxDiameter);
  virtual ~regionDetector() = default;

  void setFilename(std::string name) { filename = std::move(name); }
  void setMinimumDiameter(int d) { minDiameter = d; }
  void setMaximumDiameter(int d) { maxDiameter = d; }
  // Throws maskTooSmall below 3.
  void setPostprocessingMask(int size);

  std::vector<std::vector<int>> getXCoordinates() const { return xcoord; }
  std::vector<std::vector<int>> getYCoordinates() const { return ycoord; }
  std::vector<int> getInnerRegions() const { return inner; }
  int getImageWidth() const { return width; }
  int getImageHeight() const { return height; }
  // Why the last compute refused its picture before decoding it, in words
  // for the user: a detection on it would exceed the memory limit, or the
  // file is cut short (see readColourPicture). Empty otherwise: the code
  // thrown says all there is.
  const std::string& getReadRefusal() const { return readRefusal; }

  // A new region (owned by the caller) whose outline is outline `index`, in
  // fractions of the picture size; null for an index without an outline.
  regionShape* makeRegion(std::size_t index) const;

  // Finds the outlines of the picture; the base finds nothing.
  virtual void compute(int mode);

 protected:
  // Reports a failure: throws its code as a plain int.
  [[noreturn]] static void fail(Failure failure) { throw static_cast<int>(failure); }

  std::string filename;
  std::string readRefusal;
  int minDiameter = 10;
  int maxDiameter = 50;  // kept for the caller; no detector uses it
  int masksize = 3;
  std::vector<std::vector<int>> xcoord;
  std::vector<std::vector<int>> ycoord;
  int width = 0;
  int height = 0;
  std::vector<int> inner;
};

#endif
