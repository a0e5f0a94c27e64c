#include "QuadrantPicture.h"

#include <fstream>

#include "Colour.h"

void writeQuadrantPicture(const std::filesystem::path& file, int width, int height) {
  std::ofstream out(file, std::ios::binary);
  out << "P6\n" << width << " " << height << "\n255\n";
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool left = x < width / 2;
      const Colour c = y < height / 2 ? (left ? kRed : kGreen) : (left ? kBlue : kWhite);
      out.put(static_cast<char>(c.red)).put(static_cast<char>(c.green)).put(static_cast<char>(c.blue));
    }
  }
}
