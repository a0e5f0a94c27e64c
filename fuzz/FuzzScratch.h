#ifndef FUZZSCRATCH_H
#define FUZZSCRATCH_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

// A folder of the fuzzing process's own for the files each input is written
// to, since the programs read their files by name. Removed at exit.
class FuzzScratch {
 public:
  FuzzScratch();
  ~FuzzScratch();
  FuzzScratch(const FuzzScratch&) = delete;
  FuzzScratch& operator=(const FuzzScratch&) = delete;

  std::filesystem::path file(const std::string& name) const { return folder / name; }
  // Writes the fuzzer's input to `name` and returns its path.
  std::filesystem::path put(const std::string& name, const std::uint8_t* data, std::size_t size) const;

 private:
  std::filesystem::path folder;
};

// Ends the run with a report when an invariant does not hold: libFuzzer
// records the input that broke it.
[[noreturn]] void invariantBroken(const char* what);

#endif
