#include "SvmModelLoader.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "SvmModelText.h"

namespace {

struct FreeBlock {
  void operator()(void* block) const { std::free(block); }
};

// An array allocated as libsvm allocates, to be released with free.
template <typename T>
using Block = std::unique_ptr<T[], FreeBlock>;

template <typename T>
Block<T> allocate(std::size_t count) {
  Block<T> block(static_cast<T*>(std::malloc(std::max<std::size_t>(count, 1) * sizeof(T))));
  if (!block) throw std::bad_alloc();
  return block;
}

// A copy of `values`; none, as libsvm keeps for a key its file lacks, when
// there are none.
template <typename T>
Block<T> copyOf(const std::vector<T>& values) {
  if (values.empty()) return nullptr;
  Block<T> block = allocate<T>(values.size());
  std::copy(values.begin(), values.end(), block.get());
  return block;
}

}  // namespace

svm_model* SvmModelLoader::load(std::string_view text, std::string& problem) {
  SvmModelText reading(text);
  if (!reading.readHeader(problem)) return nullptr;
  const SvmModelText::Header& header = reading.header();
  const int vectors = header.totalVectors;
  const int coefficientRows = header.classes - 1;

  // As libsvm does, room for one entry per colon of the support vectors, and
  // for the end of each: every entry read takes a colon of its own.
  const std::string_view vectorText = reading.supportVectorText();
  const std::size_t nodeCount = std::count(vectorText.begin(), vectorText.end(), ':') + std::size_t(vectors);
  Block<svm_node> nodes = allocate<svm_node>(nodeCount);
  Block<svm_node*> vectorStarts = allocate<svm_node*>(vectors);
  std::vector<Block<double>> coefficients;
  for (int k = 0; k < coefficientRows; ++k) coefficients.push_back(allocate<double>(vectors));
  std::size_t next = 0;
  for (int i = 0; i < vectors; ++i) {
    if (!reading.nextSupportVector(problem)) return nullptr;
    for (int k = 0; k < coefficientRows; ++k) coefficients[k][i] = reading.coefficients()[k];
    vectorStarts[i] = &nodes[next];
    while (reading.nextEntry(nodes[next], problem)) ++next;
    if (!problem.empty()) return nullptr;
    nodes[next++] = {-1, 0.0};
  }
  // Everything is allocated before the model takes any of it: memory that
  // runs out leaves nothing behind.
  Block<double*> coefficientTable = allocate<double*>(coefficientRows);
  Block<double> rho = copyOf(header.rho), probA = copyOf(header.probA), probB = copyOf(header.probB);
  Block<int> labels = copyOf(header.labels), vectorsPerClass = copyOf(header.vectorsPerClass);
  Block<svm_model> model = allocate<svm_model>(1);

  svm_model& loaded = model[0];
  loaded = svm_model{};
  loaded.param.svm_type = header.svmType;
  loaded.param.kernel_type = header.kernelType;
  loaded.param.degree = header.degree;
  loaded.param.gamma = header.gamma;
  loaded.param.coef0 = header.coef0;
  loaded.nr_class = header.classes;
  loaded.l = vectors;
  for (int k = 0; k < coefficientRows; ++k) coefficientTable[k] = coefficients[k].release();
  loaded.sv_coef = coefficientTable.release();
  loaded.rho = rho.release();
  loaded.probA = probA.release();
  loaded.probB = probB.release();
  loaded.label = labels.release();
  loaded.nSV = vectorsPerClass.release();
  loaded.SV = vectorStarts.release();
  nodes.release();  // SV[0] holds it
  loaded.free_sv = 1;  // svm_free_and_destroy_model frees the nodes through SV[0]
  return model.release();
}
