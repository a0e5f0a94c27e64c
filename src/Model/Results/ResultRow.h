#ifndef RESULTROW_H
#define RESULTROW_H

#include <string>
#include <vector>

class baseShape;

// One line of the results of a picture: a visible region with its calibrated
// measures, its stage name and whether it is counted and measured.
struct ResultRow {
  int id = 0;
  double diameter = 0;
  double area = 0;
  std::string stage;
  bool nucleus = false;
  bool count = false;
  bool measure = false;

  // Class 4 marks void regions: not counted, measured, and their area is not
  // part of the picture's area.
  static constexpr int voidClass = 4;
  // A bounding box closer than this to a border (in pixels) is cut by it.
  static constexpr int borderMargin = 5;

  // Count and Measure from the region's box {min x, max x, min y, max y} in
  // pixels: a void region is measured but not counted; a box near the left or
  // top border is neither; one near the right or bottom border is counted
  // but not measured; a whole one is measured when its nucleus is visible.
  void judgeBorders(int clase, const std::vector<int>& box, int width, int height);

  // How the table and the files write a judgement.
  static const char* yesNo(bool value) { return value ? "Yes" : "No"; }

  // "Without stage" for class 0, "Unknown" past the names, else the name of
  // the class (class i is name i - 1).
  static std::string stageName(int clase, const std::vector<std::string>& classNames);

  // The rows of the visible regions of `shapes`, in list order, on a picture
  // of width x height pixels: diameters times `scale`, areas times scale².
  static std::vector<ResultRow> rowsOf(const std::vector<baseShape*>& shapes, int width, int height, double scale,
                                       const std::vector<std::string>& classNames);
};

#endif
