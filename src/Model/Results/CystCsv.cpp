#include "CystCsv.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <stdexcept>

#include "baseShape.h"

namespace {

void refuseStep(int step) {
  if (step < 1) throw std::invalid_argument("The histogram step must be at least 1 pixel");
}

// Visible shapes' area sum in pixels squared.
double coveredArea(const CystCsv::Picture& picture) {
  double sum = 0;
  for (baseShape* shape : picture.shapes)
    if (shape != nullptr && shape->getVisible()) sum += shape->getArea(picture.width, picture.height);
  return sum;
}

int visibleCount(const CystCsv::Picture& picture) {
  return static_cast<int>(std::count_if(picture.shapes.begin(), picture.shapes.end(),
                                        [](baseShape* s) { return s != nullptr && s->getVisible(); }));
}

// Numbers as a default stream writes them, with a decimal point whatever the
// global locale says.
void prepare(std::ostream& out) { out.imbue(std::locale::classic()); }

}  // namespace

double CystCsv::cystIndex(double covered, int width, int height) {
  const double pictureArea = static_cast<double>(width) * static_cast<double>(height);
  return pictureArea > 0 ? 100.0 * covered / pictureArea : 0.0;
}

std::vector<CystCsv::Bin> CystCsv::histogram(const std::vector<double>& diameters, int step, double limit) {
  refuseStep(step);
  std::vector<Bin> bins;
  const auto binned = [limit](double d) { return binnable(d, limit); };
  double largest = -1;
  for (double d : diameters)
    if (binned(d)) largest = std::max(largest, d);
  if (largest < 0) return bins;
  // Bin edges are whole multiples of the step, so a bucket index is exact.
  const std::size_t count = static_cast<std::size_t>(largest / step) + 1;
  bins.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    bins[i].lo = static_cast<double>(i) * step;
    bins[i].hi = static_cast<double>(i + 1) * step;
  }
  for (double d : diameters)
    if (binned(d)) ++bins[std::min(count - 1, static_cast<std::size_t>(d / step))].count;
  return bins;
}

double CystCsv::diagonal(const Picture& picture) {
  return std::hypot(static_cast<double>(picture.width), static_cast<double>(picture.height));
}

bool CystCsv::binnable(double diameter, double diagonal) { return diameter >= 0 && diameter <= diagonal; }

std::vector<double> CystCsv::binnedDiameters(const Picture& picture, int& unbinned) {
  const double longest = diagonal(picture);
  std::vector<double> diameters;
  unbinned = 0;
  for (baseShape* shape : picture.shapes) {
    if (shape == nullptr || !shape->getVisible()) continue;
    const double d = shape->getDiameter(picture.width, picture.height);
    if (binnable(d, longest))
      diameters.push_back(d);
    else
      ++unbinned;
  }
  return diameters;
}

void CystCsv::writeBins(std::ostream& out, const std::vector<Bin>& bins, const Calibration& calibration) {
  for (const Bin& bin : bins) {
    out << bin.lo << ";" << bin.hi << ";";
    if (calibration.active) out << bin.lo * calibration.factor << ";" << bin.hi * calibration.factor << ";";
    out << bin.count << "\n";
  }
}

void CystCsv::writeResults(std::ostream& out, const Picture& picture, const Calibration& calibration, int step) {
  refuseStep(step);
  prepare(out);
  const double c = calibration.active ? calibration.factor : 1.0;
  out << "Image name:; " << picture.name << "\n";
  out << "Number of objects; " << visibleCount(picture) << "\n";
  if (calibration.active)
    out << "Calibration:; " << calibration.factor << " micras " << ";" << "1 pixel" << "\n";
  else
    out << "Calibration:; " << " Not calibration defined " << ";" << "By default:; 1 micra/pixel" << "\n";
  out << (calibration.active ? "Identifier;Diameter(micras);Area(micras^2)"
                             : "Identifier;Diameter(pixels);Area(pixels)")
      << "\n";
  const double longest = diagonal(picture);
  for (baseShape* shape : picture.shapes) {
    if (shape == nullptr || !shape->getVisible()) continue;
    const double d = shape->getDiameter(picture.width, picture.height);
    out << shape->getId() << ";" << d * c << ";" << shape->getArea(picture.width, picture.height) * c * c;
    if (!binnable(d, longest)) out << ";" << unbinnedShape;
    out << "\n";
  }
  out << "Cyst index; " << cystIndex(coveredArea(picture), picture.width, picture.height) << "\n";
  out << "\n";
  out << "Diameters histogram; step= " << step << " pixels; without considering boundary image objects\n";
  out << (calibration.active
              ? "MinDiameter(pixels);MaxDiameter(pixels);MinDiameter(micras);MaxDiameter(micras); No. dots"
              : "MinDiameter(pixels);MaxDiameter(pixels);No. regions")
      << "\n";
  int unbinned = 0;
  writeBins(out, histogram(binnedDiameters(picture, unbinned), step, longest), calibration);
}

void CystCsv::writeSample(std::ostream& out, const std::vector<SampleEntry>& entries, const Calibration& calibration,
                          int histogramStep) {
  if (histogramStep < 0) refuseStep(histogramStep);
  prepare(out);
  const auto writeCalibration = [&] {
    if (calibration.active)
      out << "Calibration:; " << calibration.factor << " micras " << ";" << "1 pixel" << "\n";
    else
      out << "Calibration:" << " Not calibration defined " << ";" << "By default: 1 micra/pixel" << "\n";
  };
  writeCalibration();
  out << "Image;Width;Height;Number of regions;Cyst index\n";
  std::vector<double> pooled;
  double longest = 0;
  for (const SampleEntry& entry : entries) {
    const Picture& picture = entry.picture;
    if (!entry.readable) {
      out << picture.name << ";" << unreadableEntry << "\n";
      continue;
    }
    int unbinned = 0;
    const std::vector<double> diameters = binnedDiameters(picture, unbinned);
    pooled.insert(pooled.end(), diameters.begin(), diameters.end());
    longest = std::max(longest, diagonal(picture));
    out << picture.name << ";" << picture.width << ";" << picture.height << ";" << visibleCount(picture) << ";"
        << cystIndex(coveredArea(picture), picture.width, picture.height);
    if (unbinned > 0) out << ";" << unbinned << unbinnedRegions;
    out << "\n";
  }
  if (histogramStep == 0) return;
  out << "\n";
  out << "Histogram step:;" << histogramStep << ";pixels\n";
  writeCalibration();
  out << (calibration.active
              ? "MinDiameter(pixels);MaxDiameter(pixels);MinDiameter(micras);MaxDiameter(micras); No. regions"
              : "MinDiameter(pixels);MaxDiameter(pixels);No. regions")
      << "\n";
  writeBins(out, histogram(pooled, histogramStep, longest), calibration);
}
