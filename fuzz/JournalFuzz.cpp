// A replacement journal on any bytes, found in a species folder when the
// folder is loaded: its recovery changes nothing but the species' own
// classifier files, their temporary names and the journal, whatever the
// journal names and whatever the folder and the folder beside it hold.

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "FileText.h"
#include "FuzzScratch.h"
#include "ReplacementJournal.h"
#include "SpeciesFolderRecovery.h"
#include "TemporaryName.h"

namespace fs = std::filesystem;

namespace {

// The species folder inside the scratch folder, which is the process's
// working folder, so that a journal can name the files beside the species
// folder through /proc/self/cwd.
constexpr char species[] = "A";

// Lays out the scratch folder anew: beside the species folder a user's files,
// a file of a species file's name and temporary names of both; in it the
// species files (one a link to a user's file beside), temporary names of
// them, a user's files with a temporary name, a link to the folder beside,
// and a folder of the user's.
void layOut(const fs::path& root) {
  for (const auto& entry : fs::directory_iterator(root)) fs::remove_all(entry.path());
  const fs::path folder = root / species;
  fs::create_directories(folder / "sub");
  for (const char* name : {"thesis.txt", "preferences.xml", "thesis.txt.saving-abcdef", "svm_nucleous.dat",
                           "svm_nucleous.dat.saving-abcdef"})
    writeFileText(root / name, std::string("beside: ") + name);
  for (const std::string& name : SpeciesFolderRecovery::files()) writeFileText(folder / name, "species: " + name);
  fs::remove(folder / "med_desv_stages.dat");
  fs::create_symlink("../thesis.txt", folder / "med_desv_stages.dat");
  for (const char* name : {"svm_nucleous.dat.saving-abcdef", "svm_nucleous.dat.saving-ghijkl",
                           "med_desv.dat.saving-ghijkl", "notes.txt", "notes.txt.saving-abcdef", "sub/notes.txt"})
    writeFileText(folder / name, std::string("in the folder: ") + name);
  fs::create_directory_symlink("..", folder / "up");
}

// Every entry under `root` that recovery may not change, links not
// followed: a file by its contents, a link by what it points to.
std::map<std::string, std::string> othersThanTheSpeciesFiles(const fs::path& root) {
  const fs::path folder = root / species;
  std::vector<std::string> own = SpeciesFolderRecovery::files();
  own.emplace_back(ReplacementJournal::fileName);
  const auto isOwn = [&](const fs::path& path) {
    const std::string name = path.filename().string();
    return path.parent_path() == folder && std::any_of(own.begin(), own.end(), [&](const std::string& file) {
             return name == file || TemporaryName::isFor(folder.string(), file, name);
           });
  };
  std::map<std::string, std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (isOwn(entry.path())) continue;
    const fs::file_status status = entry.symlink_status();
    found[entry.path().string()] = fs::is_symlink(status)        ? "link to " + fs::read_symlink(entry).string()
                                   : fs::is_regular_file(status) ? readFileText(entry.path())
                                                                 : "folder";
  }
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzScratch scratch;
  static const fs::path root = [] {
    const fs::path path = fs::canonical(scratch.file(""));
    fs::current_path(path);
    return path;
  }();
  layOut(root);
  scratch.put(std::string(species) + "/" + ReplacementJournal::fileName, data, size);
  const std::map<std::string, std::string> before = othersThanTheSpeciesFiles(root);
  SpeciesFolderRecovery::recover((root / species).string());
  if (othersThanTheSpeciesFiles(root) != before)
    invariantBroken("the recovery of a species folder changed a file that is not one of the species' own");
  return 0;
}
