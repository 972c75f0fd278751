#include "page.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace standin {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

namespace {

std::size_t Indent(const std::string& line) {
  return line.find_first_not_of(" \t");
}

}  // namespace

std::string Element::Attribute(const std::string& name) const {
  const auto found = attributes.find(name);
  return found == attributes.end() ? std::string() : found->second;
}

std::unique_ptr<Element> ParsePage(const std::string& description, std::string& error) {
  std::unique_ptr<Element> root;
  // The elements still open, each with its indentation.
  std::vector<std::pair<std::size_t, Element*>> open;
  std::istringstream lines(description);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t indent = Indent(line);
    if (indent == std::string::npos || line[indent] == '#') continue;

    std::istringstream words(line.substr(indent));
    auto element = std::make_unique<Element>();
    words >> element->tag;
    element->tag = Lower(element->tag);
    std::string word;
    while (words >> word) {
      const std::size_t equals = word.find('=');
      if (equals == std::string::npos || equals == 0) {
        error = "line " + std::to_string(number) + ": '" + word + "' is not name=value";
        return nullptr;
      }
      element->attributes[Lower(word.substr(0, equals))] = word.substr(equals + 1);
    }

    while (!open.empty() && open.back().first >= indent)
      open.pop_back();
    Element* placed = element.get();
    if (!root) {
      root = std::move(element);
    } else if (open.empty()) {
      error = "line " + std::to_string(number) + ": a second top element";
      return nullptr;
    } else {
      element->parent = open.back().second;
      open.back().second->children.push_back(std::move(element));
    }
    open.emplace_back(indent, placed);
  }
  if (!root) error = "no element";
  return root;
}

const std::vector<std::string>& DomProperties(const std::string& tag) {
  static const std::map<std::string, std::vector<std::string>> kProperties = {
      {"a", {"href", "name"}},     {"area", {"href"}},
      {"input", {"type", "name"}}, {"form", {"method", "action", "name"}},
      {"frame", {"name"}},         {"iframe", {"name"}},
  };
  static const std::vector<std::string> kNone;
  const auto found = kProperties.find(tag);
  return found == kProperties.end() ? kNone : found->second;
}

Element* FindById(Element& root, const std::string& id) {
  if (root.Attribute("id") == id) return &root;
  for (auto& child : root.children) {
    if (Element* found = FindById(*child, id)) return found;
  }
  return nullptr;
}

Element* EnclosingForm(Element& element) {
  for (Element* up = element.parent; up; up = up->parent) {
    if (up->tag == "form") return up;
  }
  return nullptr;
}

}  // namespace standin
