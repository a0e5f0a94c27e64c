#include "FileGroupReplacement.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>

#include "FileReplacement.h"
#include "FolderLock.h"

namespace fs = std::filesystem;

void FileGroupReplacement::add(const std::string& target, std::string contents) {
  const auto same = std::find_if(files.begin(), files.end(), [&](const auto& file) { return file.first == target; });
  if (same != files.end())
    same->second = std::move(contents);
  else
    files.emplace_back(target, std::move(contents));
}

bool FileGroupReplacement::commit() {
  // No file to replace: every target holds its new contents.
  result = files.empty() ? Outcome::replaced : Outcome::unchanged;
  if (files.empty()) return true;
  const std::string folder = fs::path(files.front().first).parent_path().string();
  const ReplacementJournal journal(folder);
  // Held to the end: the recovery below is the commit's own, and no other
  // process may roll back or read the files while they are being switched.
  const FolderLock lock(journal.folder());
  if (!lock.held()) {
    failed = folder;
    reason = lock.refusal();
    return false;
  }
  std::vector<std::string> names = folderFiles;
  for (const auto& file : files) names.push_back(fs::path(file.first).filename().string());
  // A group a crash left half switched is rolled back before anything is
  // written beside it.
  reason = journal.recover(names);
  if (!reason.empty()) {
    failed = folder;
    return false;
  }

  std::vector<std::unique_ptr<FileReplacement>> replacements;
  std::vector<ReplacementJournal::Entry> entries;
  for (const auto& [target, contents] : files) {
    FileReplacement& file =
        *replacements.emplace_back(std::make_unique<FileReplacement>(target, FileReplacement::Links::refused));
    if (!file.writeTemporary(contents) || !file.nameBeside()) {
      failed = target;
      return undo(journal, entries, false);
    }
    entries.push_back({file.target(), file.temporaryName(), file.oldCopyName()});
  }
  // The names reach the disk before the journal records them.
  if (!ReplacementJournal::flushFolders(entries) || !journal.write(entries)) {
    failed = folder;
    return undo(journal, entries, false);
  }
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (!replacements[i]->switchToNew()) {
      failed = files[i].first;
      return undo(journal, entries, true);
    }
  // Every rename reaches the disk before the journal goes.
  if (!ReplacementJournal::flushFolders(entries)) {
    failed = folder;
    return undo(journal, entries, true);
  }
  if (!journal.remove()) {
    if (errno != ENOENT) {
      failed = folder;
      return undo(journal, entries, true);
    }
    // Already gone: removed by someone who ignored the lock and may have
    // rolled the targets back. They are left as they are.
    failed = journal.path();
    result = Outcome::undetermined;
    return false;
  }
  // Until the removal of the journal is on disk a power cut brings it back,
  // and with it the old files, which are therefore kept.
  if (!FileReplacement::flushFolder(journal.folder())) {
    failed = folder;
    result = Outcome::replacedUnconfirmed;
    return true;
  }
  dropOldFiles(entries);
  return true;
}

bool FileGroupReplacement::undo(const ReplacementJournal& journal,
                                const std::vector<ReplacementJournal::Entry>& entries, bool switching) {
  // Before the switch no target was touched: only the names made beside
  // them go. Once rolled back, the targets stay as they were even when the
  // journal cannot be removed, as rolling them back again changes nothing;
  // a roll-back that failed leaves the journal for the next recovery.
  const bool back = ReplacementJournal::rollBack(entries) || !switching;
  result = back ? Outcome::unchanged : Outcome::unknown;
  if (back && journal.remove()) FileReplacement::flushFolder(journal.folder());
  return false;
}

void FileGroupReplacement::dropOldFiles(const std::vector<ReplacementJournal::Entry>& entries) {
  result = Outcome::replaced;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string& old = entries[i].oldCopy;
    if (!old.empty() && unlink(old.c_str()) != 0 && errno != ENOENT && result == Outcome::replaced) {
      failed = files[i].first;
      result = Outcome::copyLeft;
    }
  }
  // Removed names that a power cut may bring back are left-overs as well.
  if (!ReplacementJournal::flushFolders(entries) && result == Outcome::replaced) {
    failed = files.front().first;
    result = Outcome::copyLeft;
  }
}
