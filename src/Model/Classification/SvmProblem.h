#ifndef SVMPROBLEM_H
#define SVMPROBLEM_H

#include <svm.h>

#include <cstddef>
#include <vector>

// A libsvm training set that owns its labels and node arrays. Pattern values
// become nodes indexed from 0, closed by a node of index -1. The view handed
// to libsvm stays valid while the object lives and no pattern is added; it is
// only read, so several threads may train on it at once.
class SvmProblem {
 public:
  SvmProblem() = default;
  SvmProblem(const SvmProblem&) = delete;
  SvmProblem& operator=(const SvmProblem&) = delete;

  void add(int label, const std::vector<double>& values);
  void clear();

  std::size_t size() const { return labels.size(); }
  const svm_problem& view() const { return problem; }

 private:
  std::vector<double> labels;
  std::vector<std::vector<svm_node>> patterns;
  std::vector<svm_node*> rows;
  svm_problem problem{0, nullptr, nullptr};
};

#endif
