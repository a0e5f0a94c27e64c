#include "GladeObject.h"

namespace {

std::string indent(int depth) { return std::string(2 * depth, ' '); }

void writeProperties(std::ostream& out, const GladeObject::Properties& properties, int depth) {
  for (const auto& [name, value] : properties)
    out << indent(depth) << "<property name=\"" << name << "\">" << escapeXml(value) << "</property>\n";
}

}  // namespace

std::string escapeXml(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

GladeObject::GladeObject(std::string className, std::string id, Properties properties)
    : className(std::move(className)), id(std::move(id)), properties(std::move(properties)) {}

GladeObject& GladeObject::add(GladeObject child, Properties packing, std::string type) {
  children.push_back({std::move(child), std::move(packing), std::move(type)});
  return *this;
}

GladeObject& GladeObject::items(std::vector<std::string> texts) {
  itemTexts = std::move(texts);
  return *this;
}

void GladeObject::write(std::ostream& out, int depth) const {
  out << indent(depth) << "<object class=\"" << className << "\" id=\"" << id << "\">\n";
  writeProperties(out, properties, depth + 1);
  if (!itemTexts.empty()) {
    out << indent(depth + 1) << "<items>\n";
    for (const std::string& text : itemTexts) out << indent(depth + 2) << "<item>" << escapeXml(text) << "</item>\n";
    out << indent(depth + 1) << "</items>\n";
  }
  for (const Child& child : children) {
    out << indent(depth + 1) << (child.type.empty() ? "<child>" : "<child type=\"" + child.type + "\">") << "\n";
    child.object.write(out, depth + 2);
    if (!child.packing.empty()) {
      out << indent(depth + 2) << "<packing>\n";
      writeProperties(out, child.packing, depth + 3);
      out << indent(depth + 2) << "</packing>\n";
    }
    out << indent(depth + 1) << "</child>\n";
  }
  out << indent(depth) << "</object>\n";
}
