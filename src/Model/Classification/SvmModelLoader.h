#ifndef SVMMODELLOADER_H
#define SVMMODELLOADER_H

#include <svm.h>

#include <string>
#include <string_view>

// Builds from a model text in memory the model libsvm's svm_load_model builds
// from a file: libsvm reads only a file it opens by name, and a file needs a
// folder the program can write. The model is laid out and allocated as the
// library's own load does it (each array with malloc, every support vector in
// one node array, each ended by index -1, free_sv set), so that
// svm_free_and_destroy_model releases it and every prediction of libsvm
// works on it.
class SvmModelLoader {
 public:
  // The model of `text`, which passed SvmModelFileCheck, owned by the
  // caller; null, with `problem` filled, when the text cannot be read.
  // Throws std::bad_alloc when memory runs out, having kept nothing.
  static svm_model* load(std::string_view text, std::string& problem);
};

#endif
