#include "SvmModelFileCheck.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "ClassifierFileRead.h"
#include "SvmModelText.h"

namespace {

bool fail(std::string& problem, const std::string& why) {
  problem = why;
  return false;
}

bool classifies(int type) { return type == C_SVC || type == NU_SVC; }

// Checks what the header's keys say together; libsvm checks none of it.
bool consistent(const SvmModelText::Header& header, std::string& problem) {
  static const std::map<int, std::vector<const char*>> kernelKeys = {
      {LINEAR, {}}, {POLY, {"degree", "gamma", "coef0"}}, {RBF, {"gamma"}}, {SIGMOID, {"gamma", "coef0"}}};
  for (const char* key : {"svm_type", "kernel_type", "nr_class", "total_sv", "rho"})
    if (!header.has(key)) return fail(problem, std::string("the header lacks ") + key);
  const auto kernel = kernelKeys.find(header.kernelType);
  if (kernel == kernelKeys.end())
    return fail(problem, std::string("unsupported kernel_type ") + SvmModelText::kernelNames[header.kernelType]);
  for (const char* key : kernel->second)
    if (!header.has(key)) return fail(problem, "the kernel needs " + std::string(key));
  if (classifies(header.svmType) && (!header.has("label") || !header.has("nr_sv")))
    return fail(problem, "a classification model needs label and nr_sv");
  if (!classifies(header.svmType) && header.classes != 2) return fail(problem, "this svm_type needs nr_class 2");
  if (header.totalVectors < 1) return fail(problem, "total_sv must be at least 1");
  if (header.has("nr_sv")) {
    long sum = 0;
    for (long count : header.vectorsPerClass) {
      if (count < 0) return fail(problem, "nr_sv holds a negative count");
      sum += count;
    }
    if (sum != header.totalVectors) return fail(problem, "nr_sv does not add up to total_sv");
  }
  return true;
}

}  // namespace

std::string SvmModelFileCheck::problemInRole(int type, int classes, const std::vector<int>& labels) const {
  if (!classifies(type))
    return std::string("svm_type ") + SvmModelText::typeNames[type] +
           " does not classify, and this classifier needs a classification model";
  if (classes < role->least || classes > role->most)
    return "nr_class " + std::to_string(classes) + " does not fit this classifier, which needs " +
           std::to_string(role->least) + (role->least == role->most ? std::string() : " to " + std::to_string(role->most));
  std::string known;
  for (int label : role->labels) known += (known.empty() ? "" : ", ") + std::to_string(label);
  std::set<int> seen;
  for (int label : labels) {
    if (std::find(role->labels.begin(), role->labels.end(), label) == role->labels.end())
      return "label " + std::to_string(label) + " is no class of this classifier, which knows " + known;
    if (!seen.insert(label).second) return "label " + std::to_string(label) + " names two classes";
  }
  return "";
}

std::string SvmModelFileCheck::problemInFile(const std::string& path) const {
  const ClassifierFileRead file(path);
  return file.readable() ? problemIn(file.text()) : file.refusal();
}

std::string SvmModelFileCheck::problemIn(const std::string& text) const {
  SvmModelText model(text);
  std::string problem;
  if (!model.readHeader(problem) || !consistent(model.header(), problem)) return problem;
  const SvmModelText::Header& header = model.header();
  if (role) {
    problem = problemInRole(header.svmType, header.classes, header.labels);
    if (!problem.empty()) return problem;
  }
  for (int row = 0; row < header.totalVectors; ++row) {
    if (!model.nextSupportVector(problem)) return problem;
    int previousIndex = -1;
    svm_node entry;
    while (model.nextEntry(entry, problem)) {
      if (entry.index <= previousIndex) return model.whereInVectors() + " has its indices out of order";
      if (featureCount > 0 && entry.index >= featureCount)
        return model.whereInVectors() + " has index " + std::to_string(entry.index) + ", beyond the " +
               std::to_string(featureCount) + " features";
      previousIndex = entry.index;
    }
    if (!problem.empty()) return problem;
  }
  return model.restIsBlank() ? "" : "the model holds more lines than its total_sv";
}
