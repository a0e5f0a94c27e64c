#ifndef REGIONDETECTOREDGES_H
#define REGIONDETECTOREDGES_H

#include <opencv2/core.hpp>
#include <string>
#include <vector>

#include "edgesCannyGrey.h"
#include "image.h"
#include "imageConversor.h"

// Candidate cell outlines of a picture file: owns the picture as read by
// OpenCV, the converter into the imaging library and the edge detector with
// its parameters and contours. Subclasses run the search.
//
// A picture that cannot be read leaves the detector without a picture
// (0 x 0); the reason is thrown as an int: 2 OpenCV error, 3 nothing read
// (also a picture too large for memory, or incomplete; see readColourPicture),
// 4 not an 8-bit colour picture.
class regionDetectorEdges {
 public:
  // No picture; diameters 10 and 50, chains of at least 20 points.
  regionDetectorEdges();
  // Reads `filename` with the given diameter limits (see setDiameters).
  regionDetectorEdges(std::string filename, int minDiameter, int maxDiameter);
  virtual ~regionDetectorEdges();
  regionDetectorEdges(const regionDetectorEdges&) = delete;
  regionDetectorEdges& operator=(const regionDetectorEdges&) = delete;

  // Reads the current file name into the picture.
  void loadImage();
  virtual void setFilename(std::string name);
  virtual void processImage(int x);

  // Diameter limits in pixels, and chains of at least twice the minimum.
  // Throws 6 for limits the edge detector refuses; then nothing changes.
  void setDiameters(int min, int max);
  void setSigma(const std::vector<double>& sigmas);
  void setThresholds(const std::vector<double>& low, const std::vector<double>& high);
  void setRoundness(double roundness);

  int getImageWidth() const;
  int getImageHeight() const;
  // Why the picture last given was refused before it was decoded, in words
  // for the user: a detection on it would exceed the memory limit, or the
  // file is cut short (see readColourPicture). Empty after a read that
  // succeeded and after a failure that the int thrown says all about.
  const std::string& getReadRefusal() const;
  // Contour k: columns getXCoordinates()[k], rows getYCoordinates()[k].
  const std::vector<std::vector<int>>& getXCoordinates() const;
  const std::vector<std::vector<int>>& getYCoordinates() const;
  // The edge detector's parameters as set.
  const edgesCannyGrey& getEdgeDetector() const;

 protected:
  // Drops the picture and its contours: no picture, 0 x 0.
  void clearPicture();

  std::string filename;
  std::string readRefusal;
  int width = 0;
  int height = 0;
  Image* img = nullptr;  // the subclasses' copy of the picture, owned by them
  cv::Mat src;
  ImageConversor myConversor{0, true};
  edgesCannyGrey myfilter;
};

#endif
