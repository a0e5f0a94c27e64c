#include "FileGroupReplacement.h"

#include <algorithm>
#include <memory>

#include "FileReplacement.h"

void FileGroupReplacement::add(const std::string& target, std::string contents) {
  const auto same = std::find_if(files.begin(), files.end(), [&](const auto& file) { return file.first == target; });
  if (same != files.end())
    same->second = std::move(contents);
  else
    files.emplace_back(target, std::move(contents));
}

bool FileGroupReplacement::commit() {
  std::vector<std::unique_ptr<FileReplacement>> written;
  for (const auto& [target, contents] : files) {
    written.push_back(std::make_unique<FileReplacement>(target));
    if (!written.back()->writeTemporary(contents)) {
      failed = target;
      return false;  // the temporary files written so far go with `written`
    }
  }
  for (std::size_t i = 0; i < written.size(); ++i)
    if (!written[i]->replaceKeepingOld()) {
      failed = files[i].first;
      // The file that failed may have been renamed over or aside as well.
      for (std::size_t j = 0; j <= i; ++j) partly = !written[j]->putBackOld() || partly;
      return false;
    }
  // Every target holds its new contents; the group is replaced once no old
  // file is left beside them on disk either.
  for (std::size_t i = 0; i < written.size(); ++i)
    if (!written[i]->dropOld() && !partly) {
      failed = files[i].first;
      partly = true;
    }
  return !partly;
}
