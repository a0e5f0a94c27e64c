#include "SvmProblem.h"

void SvmProblem::add(int label, const std::vector<double>& values) {
  std::vector<svm_node> nodes;
  nodes.reserve(values.size() + 1);
  for (std::size_t j = 0; j < values.size(); ++j) nodes.push_back({static_cast<int>(j), values[j]});
  nodes.push_back({-1, 0.0});

  labels.push_back(label);
  patterns.push_back(std::move(nodes));
  // Moving a node array keeps its storage, so earlier row pointers stay valid.
  rows.push_back(patterns.back().data());
  problem = {static_cast<int>(labels.size()), labels.data(), rows.data()};
}

void SvmProblem::clear() {
  labels.clear();
  patterns.clear();
  rows.clear();
  problem = {0, nullptr, nullptr};
}
