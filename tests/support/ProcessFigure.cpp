#include "ProcessFigure.h"

#include <fstream>

std::size_t processFigure(const std::string& file, const std::string& field) {
  std::ifstream figures(file);
  std::size_t value = 0;
  for (std::string word; figures >> word;)
    if (word == field) {
      figures >> value;
      break;
    }
  return value;
}
