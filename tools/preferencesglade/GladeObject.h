#ifndef GLADEOBJECT_H
#define GLADEOBJECT_H

#include <ostream>
#include <string>
#include <utility>
#include <vector>

// One object of an interface file, with its properties, the items of a text
// combo box and its children, written out in the toolkit's builder format.
class GladeObject {
 public:
  using Properties = std::vector<std::pair<std::string, std::string>>;

  GladeObject(std::string className, std::string id, Properties properties = {});

  // Adds a child; `packing` holds its properties in this container, `type`
  // marks a special child (the tab label of a notebook page).
  GladeObject& add(GladeObject child, Properties packing = {}, std::string type = "");
  // The rows of a text combo box, in order.
  GladeObject& items(std::vector<std::string> texts);

  // Writes the object, indented by `depth` levels.
  void write(std::ostream& out, int depth) const;

 private:
  struct Child;

  std::string className;
  std::string id;
  Properties properties;
  std::vector<std::string> itemTexts;
  std::vector<Child> children;
};

struct GladeObject::Child {
  GladeObject object;
  Properties packing;
  std::string type;
};

// The text with the characters XML reserves written as entities.
std::string escapeXml(const std::string& text);

#endif
