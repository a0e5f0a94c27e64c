#include "ReplacementJournal.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <system_error>

#include "FileReplacement.h"
#include "RegularFileRead.h"
#include "TemporaryName.h"

namespace fs = std::filesystem;

namespace {

constexpr char header[] = "replacement journal";
constexpr char targetField[] = "target ";
constexpr char newField[] = "new ";
constexpr char oldField[] = "old ";
constexpr char noOldFile[] = "no old file";
constexpr char end[] = "end";
// A journal lists a few files, each by up to three paths of at most 4096
// bytes; one longer than this is none the program wrote.
constexpr std::size_t largestJournal = std::size_t{1} << 20;

// Whether `path` names anything; false with errno set otherwise.
bool present(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0;
}

bool removed(const std::string& path) { return unlink(path.c_str()) == 0 || errno == ENOENT; }

// Gives `entry.target` back what it held before the switch, whichever of its
// steps were done (the old file moved aside or linked, the new one renamed
// over the target), then removes the kept names.
bool putBack(const ReplacementJournal::Entry& entry) {
  if (!entry.oldCopy.empty()) {
    if (present(entry.oldCopy)) {
      // A second link of the file the target still names is renamed over it
      // to no effect, so it is removed as well.
      if (std::rename(entry.oldCopy.c_str(), entry.target.c_str()) != 0 || !removed(entry.oldCopy)) return false;
    } else if (errno != ENOENT) {
      return false;
    }
  } else if (!present(entry.temporary)) {
    if (errno != ENOENT) return false;
    // The new contents took the name of a target that had no file.
    if (!removed(entry.target)) return false;
  }
  return removed(entry.temporary);
}

std::string folderOf(const std::string& path) { return fs::path(path).parent_path().string(); }

}  // namespace

ReplacementJournal::ReplacementJournal(const std::string& folder) {
  std::error_code error;
  const fs::path absolute = fs::absolute(folder, error);
  const fs::path real = error ? fs::path(folder) : fs::weakly_canonical(absolute, error);
  where = (error ? absolute : real).string();
  journal = where + "/" + fileName;
}

std::string ReplacementJournal::recorded(const std::string& path) const {
  return folderOf(path) == where ? fs::path(path).filename().string() : "";
}

// Every name is taken in the journal's own folder: a target must be exactly
// one of the caller's bare names, and a rename or removal acts on the name
// itself, never on what a link of that name points to, so no path, "..", or
// link can lead out of the folder or to another file in it.
bool ReplacementJournal::sound(const Entry& entry, const std::vector<std::string>& files) const {
  const auto keptBeside = [&](const std::string& name) { return TemporaryName::isFor(where, entry.target, name); };
  return std::find(files.begin(), files.end(), entry.target) != files.end() && keptBeside(entry.temporary) &&
         (entry.oldCopy.empty() || keptBeside(entry.oldCopy));
}

std::optional<std::vector<ReplacementJournal::Entry>> ReplacementJournal::located(
    const std::vector<Entry>& entries, const std::vector<std::string>& files) const {
  const auto path = [this](const std::string& name) { return name.empty() ? name : where + "/" + name; };
  std::vector<Entry> inFolder;
  for (const Entry& entry : entries) {
    if (!sound(entry, files)) return std::nullopt;
    inFolder.push_back({path(entry.target), path(entry.temporary), path(entry.oldCopy)});
  }
  return inFolder;
}

bool ReplacementJournal::write(const std::vector<Entry>& entries) const {
  std::string text = std::string(header) + "\n";
  for (const Entry& entry : entries) {
    const std::string target = recorded(entry.target), fresh = recorded(entry.temporary),
                      old = recorded(entry.oldCopy);
    // One name a line: a name holding a line break cannot be recorded.
    if (target.empty() || fresh.empty() || (old.empty() && !entry.oldCopy.empty()) ||
        (target + fresh + old).find('\n') != std::string::npos)
      return false;
    text += targetField + target + "\n" + newField + fresh + "\n";
    text += (entry.oldCopy.empty() ? std::string(noOldFile) : oldField + old) + "\n";
  }
  text += std::string(end) + "\n";
  return FileReplacement(journal).commit(text);
}

bool ReplacementJournal::remove() const { return unlink(journal.c_str()) == 0; }

// A folder may come from anyone, so the journal is read as any such file: a
// pipe or a device is refused without waiting on it, and so is a journal far
// longer than any the program writes.
std::optional<std::vector<ReplacementJournal::Entry>> ReplacementJournal::read() const {
  Model::RegularFileRead file(journal);
  const std::string text = file.readWhole(largestJournal, "it is longer than any journal the program writes");
  if (!file.readable()) return std::nullopt;
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  // Only a journal written to its last line is whole.
  if (lines.size() < 2 || lines.front() != header || lines.back() != end) return std::nullopt;
  const std::size_t last = lines.size() - 1;
  std::size_t i = 1;
  // Takes the name of the next line when it starts with `field`.
  const auto take = [&](const std::string& field, std::string& name) {
    if (i == last || lines[i].compare(0, field.size(), field) != 0) return false;
    name = lines[i++].substr(field.size());
    return !name.empty();
  };
  std::vector<Entry> entries;
  while (i < last) {
    Entry entry;
    if (!take(targetField, entry.target) || !take(newField, entry.temporary)) return std::nullopt;
    if (i < last && lines[i] == noOldFile)
      ++i;
    else if (!take(oldField, entry.oldCopy))
      return std::nullopt;
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool ReplacementJournal::rollBack(const std::vector<Entry>& entries) {
  bool back = true;
  for (const Entry& entry : entries) back = putBack(entry) && back;
  return flushFolders(entries) && back;
}

bool ReplacementJournal::flushFolders(const std::vector<Entry>& entries) {
  std::set<std::string> folders;
  for (const Entry& entry : entries) folders.insert(folderOf(entry.target));
  bool flushed = true;
  for (const std::string& folder : folders) flushed = FileReplacement::flushFolder(folder) && flushed;
  return flushed;
}

std::string ReplacementJournal::recover(const std::vector<std::string>& files) const {
  if (present(journal)) {
    const std::string stopped = "the files of " + where + " were being replaced when the program stopped";
    if (access(where.c_str(), W_OK | X_OK) != 0)
      return stopped + ", and the folder cannot be written to put the old files back";
    const std::string record = ", and " + journal + ", the record of what was replaced, ";
    const std::optional<std::vector<Entry>> recordedEntries = read();
    if (!recordedEntries) return stopped + record + "cannot be read";
    const std::optional<std::vector<Entry>> entries = located(*recordedEntries, files);
    if (!entries) return stopped + record + "names files that are not the folder's own";
    if (!rollBack(*entries) || !remove() || !FileReplacement::flushFolder(where))
      return stopped + ", and the old files cannot be put back";
  } else if (errno != ENOENT && errno != ENOTDIR) {
    return "whether the files of " + where + " were being replaced cannot be told";
  }
  std::vector<std::string> names = files;
  names.emplace_back(fileName);
  TemporaryName::removeLeftovers(where, names);
  return "";
}
