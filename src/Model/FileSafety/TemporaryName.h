#ifndef TEMPORARYNAME_H
#define TEMPORARYNAME_H

#include <functional>
#include <string>
#include <vector>

// The names under which a save keeps files beside their target while it
// runs: the target's name (shortened where the folder's name limit asks),
// ".saving-" and six random letters. Only names of exactly this form are
// ever removed as left-overs, so no file of the user's is taken for one.
namespace TemporaryName {

// Gives `create` fresh names beside `target` (a full path) until it succeeds
// with one, which is returned, or fails for another reason than the name
// being taken (errno EEXIST), which returns "".
std::string claim(const std::string& target, const std::function<bool(const std::string&)>& create);

// Whether the bare name `name` is one that claim makes for the file `file`
// of `folder`.
bool isFor(const std::string& folder, const std::string& file, const std::string& name);

// Removes from `folder` every name claim makes for one of `files` (bare
// names): what a save that was killed left behind. Names that cannot be
// removed stay.
void removeLeftovers(const std::string& folder, const std::vector<std::string>& files);

}  // namespace TemporaryName

#endif
