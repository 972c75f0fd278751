#include "platform/chromium/chromium_document.h"

#include "platform/chromium/chromium_browser.h"

namespace velmox::chromium {

const char* const kDescribeElement = R"js(function(e) {
  if (!e) return 'nothing';
  if (e.id) return e.tagName + '#' + e.id;
  const name = e.getAttribute && e.getAttribute('name');
  if (name) return e.tagName + '[name=' + name + ']';
  const text = (e.textContent || '').replace(/\s+/g, ' ').trim();
  if ((e.tagName === 'A' || e.tagName === 'AREA') && text) return e.tagName + ' "' + text + '"';
  return e.tagName;
})js";

ReleasedAtEnd::~ReleasedAtEnd() {
  browsers.Release(window, objectId);
}

PageObject::PageObject(ChromiumBrowsers& browsers, std::shared_ptr<ChromiumWindow> window,
                       std::string objectId)
    : browsers_(browsers),
      window_(std::move(window)),
      objectId_(std::move(objectId)),
      grouped_(browsers_.Judging()) {
  if (!window_) throw PlatformError(91, "Object variable not set");
}

PageObject::~PageObject() {
  if (!grouped_) browsers_.Release(*window_, objectId_);
}

Json PageObject::Value(const char* function, const Json& arguments) {
  return browsers_.CallOn(*window_, objectId_, function, arguments).value("value", Json());
}

std::string PageObject::Text(const char* function) {
  const Json value = Value(function);
  return value.is_string() ? value.get<std::string>() : std::string();
}

std::string PageObject::Object(const char* function, const Json& arguments) {
  const Json result = browsers_.CallOn(*window_, objectId_, function, arguments, false);
  return result.value("objectId", std::string());
}

const char* const kActiveElement = R"js(function() {
  if (!this.activeElement) throw new Error('The page has no element with the focus.');
  return this.activeElement;
})js";

// ---- Document --------------------------------------------------------------------------------

ChromiumDocument::ChromiumDocument(ChromiumBrowsers& browsers,
                                   std::shared_ptr<ChromiumWindow> window, std::string objectId,
                                   std::optional<FocusAtStart> focus)
    : PageObject(browsers, std::move(window), std::move(objectId)),
      focusAtStart_(std::move(focus)) {}

std::shared_ptr<HtmlElement> ChromiumDocument::activeElement() {
  if (focusAtStart_) {
    FocusAtStart focus = std::move(*focusAtStart_);
    focusAtStart_.reset();
    window_->Check();
    if (focus.failure) throw *focus.failure;
    return focus.element;
  }
  return std::make_shared<ChromiumElement>(browsers_, window_, Object(kActiveElement));
}

int ChromiumDocument::framesLength() {
  const Json length =
      Value("function() { return this.defaultView ? this.defaultView.frames.length : 0; }");
  if (!length.is_number_integer()) throw PlatformError(-2147352567, "frames has no length");
  return length.get<int>();
}

std::shared_ptr<HtmlFrame> ChromiumDocument::frameItem(int index) {
  const std::string id = Object(R"js(function(i) {
    const w = this.defaultView;
    if (!w || i < 0 || i >= w.frames.length) throw new Error('The parameter is incorrect.');
    return w.frames[i];
  })js",
                                Json::array({index}));
  return std::make_shared<ChromiumFrame>(browsers_, window_, id);
}

// ---- Frame -----------------------------------------------------------------------------------

std::string ChromiumFrame::name() {
  return Text("function() { return this.name; }");
}

std::shared_ptr<HtmlDocument> ChromiumFrame::document() {
  const std::string id = Object("function() { return this.document; }");
  if (id.empty()) throw PlatformError(-2147024891, "Access is denied.");
  return std::make_shared<ChromiumDocument>(browsers_, window_, id);
}

// ---- Element ---------------------------------------------------------------------------------

// An element's tag never changes, and the pop-up's judging asks for it more than once: it is
// read from the page once, though a window that has gone still fails every call.
std::string ChromiumElement::tagName() {
  window_->Check();
  if (!tagName_) tagName_ = Text("function() { return this.tagName; }");
  return *tagName_;
}

// A link to a local file holds the real file's address; Velmox knows the file by its own name.
std::string ChromiumElement::href() {
  return browsers_.pages.Shown(Text(R"js(function() {
    if (!('href' in this)) throw new Error('Unsupported');
    return String(this.href);
  })js"));
}

std::string ChromiumElement::type() {
  return Text(R"js(function() {
    if (!('type' in this)) throw new Error('Unsupported');
    return String(this.type);
  })js");
}

std::string ChromiumElement::name() {
  return Text(R"js(function() {
    if (typeof this.name === 'string') return this.name;
    return (this.getAttribute && this.getAttribute('name')) || '';
  })js");
}

std::shared_ptr<HtmlElement> ChromiumElement::parentElement() {
  const std::string id = Object("function() { return this.parentElement; }");
  if (id.empty()) return nullptr;
  return std::make_shared<ChromiumElement>(browsers_, window_, id);
}

void ChromiumElement::blur() {
  static const std::string function =
      std::string("function() { const describe = ") + kDescribeElement + R"js(;
    const focused = this.ownerDocument.activeElement === this;
    this.blur();
    return focused ? describe(this) : '';
  })js";
  const Json taken = browsers_.CallOn(*window_, objectId_, function).value("value", Json());
  if (taken.is_string() && !taken.get<std::string>().empty()) {
    browsers_.TraceLine(window_->label + ": Velmox takes the focus from " +
                        taken.get<std::string>());
  }
}

std::string ChromiumElement::method() {
  return Text(R"js(function() {
    if (this.tagName !== 'FORM') throw new Error('Unsupported');
    return this.getAttribute('method') || '';
  })js");
}

std::string ChromiumElement::action() {
  return Text(R"js(function() {
    if (this.tagName !== 'FORM') throw new Error('Unsupported');
    return this.getAttribute('action') || '';
  })js");
}

}  // namespace velmox::chromium
