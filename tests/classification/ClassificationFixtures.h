#ifndef CLASSIFICATIONFIXTURES_H
#define CLASSIFICATIONFIXTURES_H

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Training.h"

namespace fixtures {

// `count` patterns of `features` values drawn around `centre` (one value per
// feature) with deviation `spread`; feature `constantFeature`, when in range,
// is always 7 so that its deviation is 0.
std::vector<std::vector<float>> gaussianClass(std::uint32_t seed, int count, const std::vector<float>& centre,
                                              float spread, int constantFeature = -1);

// A centre of `features` values: `value` in the first `shifted` features, 0
// elsewhere.
std::vector<float> centre(int features, int shifted, float value);

// Quarter bounds and counts of every pattern of every class.
std::vector<std::vector<int>> quarters(const Training::Patterns& patterns);
std::vector<int> counts(const Training::Patterns& patterns);

// The pattern standardised as a libsvm line: label, then "j:value" from 0.
std::string libsvmLine(int label, const std::vector<double>& values);

// A C-SVC RBF model of two support vectors, +1 and -1 on feature 0: a pattern
// whose feature 0 is positive gets `firstLabel`, a negative one `secondLabel`.
std::string twoVectorModel(int firstLabel, int secondLabel);
// A linear C-SVC model of `classes` classes (labels 0, 1, ...), one support
// vector each.
std::string modelOfClasses(int classes);
// The text of a model that libsvm trains on twelve patterns of `classes`
// small clusters (features 0, 3 and 24) and saves to `file`; empty when it
// cannot save it. `type` and `kernel` are libsvm's numbers; a polynomial
// kernel is of degree 2, gamma is 0.5 and coef0 1.
std::string libsvmSavedModel(const std::filesystem::path& file, int type, int kernel, bool probability, int classes);
// A normalisation file of `features` lines with mean 0 and deviation 1.
std::string unitNormalisation(int features);

// Writes a file text a training gave out to `file`; false when it gave none.
bool writeOut(const std::optional<std::string>& text, const std::filesystem::path& file);

// Runs a command; true when it exits with 0.
bool run(const std::string& command);

}  // namespace fixtures

#endif
