#ifndef SPECIESFOLDERRECOVERY_H
#define SPECIESFOLDERRECOVERY_H

#include <string>
#include <vector>

// Training replaces the classifier files of a species folder as one group
// (FileGroupReplacement). Whoever reads them first finishes what a crash or
// a power cut left of such a replacement, so that the files read are the
// whole old set or the whole new one, never a model beside a normalisation
// of another training.
namespace SpeciesFolderRecovery {

// The bare names of the classifier files of a species folder: the only
// files a recovery of the folder may rename or remove, with their temporary
// names.
std::vector<std::string> files();

// Rolls an unfinished replacement in `folder` back and removes the
// temporary files left beside the species files. Returns "" when the
// species files may be read, otherwise why not, naming the folder.
std::string recover(const std::string& folder);

}  // namespace SpeciesFolderRecovery

#endif
