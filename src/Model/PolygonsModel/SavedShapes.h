#ifndef SAVEDSHAPES_H
#define SAVEDSHAPES_H

#include <cstdint>
#include <vector>

class baseShape;

// The state of an annotation when it was last saved, opened or cleared, kept
// as a fingerprint of everything a shape holds but its selection: kind, id,
// name, flags, type, classes and geometry, inner points included. A command
// about to drop the shapes compares them with it to tell whether they hold
// work not yet saved: a detection, a drawn, edited, deleted or reclassified
// shape changes the fingerprint, selecting one does not.
class SavedShapes {
 public:
  // Starts from an empty annotation.
  SavedShapes();

  // Takes `shapes` as the state saved.
  void record(const std::vector<baseShape*>& shapes);
  // Whether `shapes` differ from the state recorded last.
  bool differ(const std::vector<baseShape*>& shapes) const;

  static std::uint64_t fingerprint(const std::vector<baseShape*>& shapes);

 private:
  std::uint64_t saved;
};

#endif
