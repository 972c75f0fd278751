#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace standin {

// One element of a described page.
struct Element {
  std::string tag;  // lower case, as written
  std::map<std::string, std::string> attributes;
  Element* parent = nullptr;
  std::vector<std::unique_ptr<Element>> children;

  std::string Attribute(const std::string& name) const;
  bool Has(const std::string& name) const { return attributes.count(name) != 0; }
};

// A page is described, not written in HTML: one element a line, its tag and then name=value
// attributes separated by blanks, each child indented deeper than its parent, "#" starting a
// comment. The first element is the page's body or frameset:
//
//   body
//     a id=more href=http://news.example/more.html target=_blank
//     form id=search method=post action=../cgi-bin/find.pl target=_blank
//          to=http://news.example/cgi-bin/find.pl data=q=velmox
//       input id=go type=submit
//
// (one line each in a real description). The attributes that the page's document model shows
// are those of the element's kind (see DomProperties); the others tell the stand-in how the page
// behaves: `id` names an element for the driver, `target` where a link or form opens, `to` and
// `data` the address and data a form submits, `src` the page a frame shows.
std::unique_ptr<Element> ParsePage(const std::string& description, std::string& error);

// The document-model properties an element of this tag has, besides tagName.
const std::vector<std::string>& DomProperties(const std::string& tag);

Element* FindById(Element& root, const std::string& id);
// The nearest form around an element, or null.
Element* EnclosingForm(Element& element);

// The text in ASCII lower case, as tag, attribute and type names are compared.
std::string Lower(std::string text);

}  // namespace standin
