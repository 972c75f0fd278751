#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/browser_automation.h"
#include "platform/chromium/devtools_client.h"

namespace velmox::chromium {

class ChromiumBrowsers;
class ChromiumWindow;

// An object of a live page, held for Velmox and let go when Velmox drops it, or with every other
// object of its judgement when the judgement ends, whichever comes first. Every call runs in
// the page at that moment and fails as a PlatformError: the window has gone, the page has moved
// on, or the object has no such member.
class PageObject {
 public:
  PageObject(ChromiumBrowsers& browsers, std::shared_ptr<ChromiumWindow> window,
             std::string objectId);
  virtual ~PageObject();
  PageObject(const PageObject&) = delete;
  PageObject& operator=(const PageObject&) = delete;

 protected:
  // The value `function` returns when run on this object.
  Json Value(const char* function, const Json& arguments = Json::array());
  std::string Text(const char* function);
  // The object `function` returns; empty when it returns null.
  std::string Object(const char* function, const Json& arguments = Json::array());

  ChromiumBrowsers& browsers_;
  std::shared_ptr<ChromiumWindow> window_;
  std::string objectId_;
  // Asked for by a judgement: its group lets it go when the judgement ends.
  bool grouped_;
};

// A page object asked for outside the page model, let go however the calls on it end.
struct ReleasedAtEnd {
  ChromiumBrowsers& browsers;
  ChromiumWindow& window;
  std::string objectId;
  ~ReleasedAtEnd();
};

// What a document's first activeElement gives when it was read together with the document.
struct FocusAtStart {
  std::shared_ptr<HtmlElement> element;
  std::optional<PlatformError> failure;
};

class ChromiumDocument : public HtmlDocument, PageObject {
 public:
  ChromiumDocument(ChromiumBrowsers& browsers, std::shared_ptr<ChromiumWindow> window,
                   std::string objectId, std::optional<FocusAtStart> focus = std::nullopt);
  std::shared_ptr<HtmlElement> activeElement() override;
  int framesLength() override;
  std::shared_ptr<HtmlFrame> frameItem(int index) override;

 private:
  std::optional<FocusAtStart> focusAtStart_;
};

// A frame of the page: its window, as the page's frames collection gives it.
class ChromiumFrame : public HtmlFrame, public Dispatch, PageObject {
 public:
  using PageObject::PageObject;
  std::string name() override;
  std::shared_ptr<HtmlDocument> document() override;
};

// An element. `method` and `action` are a form's attributes as written, as the page's author
// gave them.
class ChromiumElement : public HtmlElement, PageObject {
 public:
  // `tagName` when it is already known.
  ChromiumElement(ChromiumBrowsers& browsers, std::shared_ptr<ChromiumWindow> window,
                  std::string objectId, std::optional<std::string> tagName = std::nullopt)
      : PageObject(browsers, std::move(window), std::move(objectId)),
        tagName_(std::move(tagName)) {}
  std::string tagName() override;
  std::string href() override;
  std::string type() override;
  std::string name() override;
  std::shared_ptr<HtmlElement> parentElement() override;
  void blur() override;
  std::string method() override;
  std::string action() override;

 private:
  std::optional<std::string> tagName_;
};

// A page function that gives a document's focused element, and fails when it has none.
extern const char* const kActiveElement;

// A page function that names an element for the trace: its tag with its id, its name or a
// link's text.
extern const char* const kDescribeElement;

}  // namespace velmox::chromium
