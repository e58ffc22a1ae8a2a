#include "grpconv/menu_file.h"

namespace grpconv {
namespace {

// Identifiers are ASCII of our own making; escaping keeps the document well
// formed whatever they hold.
std::string XmlText(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string Indent(std::size_t depth) { return std::string(2 * depth, ' '); }

}  // namespace

std::string RenderMenu(const std::vector<std::string>& levelIds, std::string_view category) {
  std::string text =
      "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
      " \"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n"
      "<!-- Written by grpconv from SETUP.INI; converting again rewrites it. -->\n"
      "<Menu>\n"
      "  <Name>Applications</Name>\n";
  std::size_t depth = 1;
  for (const std::string& id : levelIds) {
    const std::string indent = Indent(depth);
    text += indent + "<Menu>\n";
    text += indent + "  <Name>" + XmlText(id) + "</Name>\n";
    text += indent + "  <Directory>" + XmlText(id) + ".directory</Directory>\n";
    ++depth;
  }
  const std::string indent = Indent(depth);
  text += indent + "<Include>\n";
  text += indent + "  <Category>" + XmlText(category) + "</Category>\n";
  text += indent + "</Include>\n";
  while (depth > 1) {
    --depth;
    text += Indent(depth) + "</Menu>\n";
  }
  text += "</Menu>\n";
  return text;
}

}  // namespace grpconv
