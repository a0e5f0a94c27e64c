#ifndef SHAPEIDS_H
#define SHAPEIDS_H

#include <vector>

class baseShape;

// The ids of an annotation. Each shape of a shape list, and each inner point
// of its regions, is known by its id in the annotation file, the results
// table and the CSV rows, so no two of them may share one. The points of an
// angle are not: the file stores the angle alone.
class ShapeIds {
 public:
  // The items known by an id: each shape of `shapes`, followed by its inner
  // points when it is a region.
  static std::vector<baseShape*> itemsOf(const std::vector<baseShape*>& shapes);
  // One above the largest id among the items of `shapes`; 1 when none is
  // above 0.
  static int next(const std::vector<baseShape*>& shapes);
  // Gives a new id to each item of `newcomers` whose id an item of `holders`
  // or an earlier newcomer already has; the others keep theirs, so that the
  // ids of a file keep their meaning wherever they are unique. The new ids
  // count up from `first`, or from one above every id of both lists when
  // that is larger. Returns the id after the last one given.
  static int makeUnique(const std::vector<baseShape*>& holders, const std::vector<baseShape*>& newcomers, int first);
};

#endif
