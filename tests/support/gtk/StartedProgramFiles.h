#ifndef STARTEDPROGRAMFILES_H
#define STARTEDPROGRAMFILES_H

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "regionShape.h"

// What the tests that start a whole program make of their files. Such a test
// program is built once per program, with that program's run folder defined.
#if defined(LUMORA_RUN_DIR)
inline const char* const startedRunFolder = LUMORA_RUN_DIR;
inline const char* const startedProgram = "lumora";
#else
inline const char* const startedRunFolder = CAVITRA_RUN_DIR;
inline const char* const startedProgram = "cavitra";
#endif

// A binary PPM picture of the given size with a fixed pattern.
inline void writePpm(const std::filesystem::path& file, int width, int height) {
  std::ofstream out(file, std::ios::binary);
  out << "P6\n" << width << " " << height << "\n255\n";
  for (int i = 0; i < width * height * 3; ++i) out.put(static_cast<char>(i % 251));
}

// `count` hand-drawn squares of a tenth of the picture's width and height in
// a row, with ids from 1; owned by the caller.
inline std::vector<baseShape*> squares(int count) {
  std::vector<baseShape*> shapes;
  for (int i = 0; i < count; ++i) {
    auto* region = new regionShape(i + 1, true, false, false, true, 0, 0, 0);
    const double left = 0.1 + 0.2 * i;
    for (const auto& [x, y] : {std::pair{left, 0.2}, {left + 0.1, 0.2}, {left + 0.1, 0.3}, {left, 0.3}})
      region->addLinePoint(x, y);
    shapes.push_back(region);
  }
  return shapes;
}

#endif
