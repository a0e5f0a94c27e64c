#ifndef OOCYTEPAINTER_H
#define OOCYTEPAINTER_H

#include <cstdint>
#include <opencv2/core.hpp>
#include <vector>

#include "CellPainter.h"

namespace defaultspecies {

// One painted oocyte with what an annotator would mark on it.
struct Oocyte {
  synthetic::Cell cell;
  int stage;     // 1 cortical alveoli, 2 vitelline, 3 hydrated
  bool nucleus;  // a visible nucleus
};

struct OocytePicture {
  cv::Mat image;
  std::vector<Oocyte> oocytes;
};

// Paints seeded ovary-like sections: oocytes of the three stages, each with
// a visible nucleus at even odds, on a smooth tissue background. The stages
// differ in size, colour and texture so that the colour-texture features
// tell them apart; the same seed gives the same pictures.
class OocytePainter {
 public:
  // Semi-axis limits over all stages, in pixels. Even the smallest oocyte
  // is longer than the 300 pixels the program's detection asks of an outline
  // under the default diameter settings, so the start picture's oocytes are
  // found without changing them.
  static constexpr double smallestRadius = 158;
  static constexpr double largestRadius = 226;
  // Size and oocytes asked for of the start picture and of every training
  // and held-out picture.
  static constexpr int pictureWidth = 1600;
  static constexpr int pictureHeight = 1200;
  static constexpr int oocytesPerPicture = 12;

  explicit OocytePainter(std::uint32_t seed);

  // Up to `count` oocytes, the three stages in turn, that neither touch each
  // other nor come closer to the border than a tenth of the picture, fewer when
  // no room is found.
  OocytePicture paint(cv::Size size = {pictureWidth, pictureHeight}, int count = oocytesPerPicture);

  // Closed outline of the cell (the first vertex repeated at the end).
  static std::vector<cv::Point2d> outline(const synthetic::Cell& cell, int vertices = 72);

 private:
  Oocyte drawOocyte(int stage, bool nucleus);
  cv::Scalar jitter(cv::Scalar colour, double by);
  bool place(Oocyte& oocyte, cv::Size size, const std::vector<Oocyte>& placed);

  synthetic::CellPainter painter;
};

}  // namespace defaultspecies

#endif
