#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/browser_automation.h"
#include "core/platform_error.h"
#include "platform/sim/sim_html.h"
#include "platform/sim/sim_trace.h"

namespace velmox::sim {

constexpr long kDisconnected = -2147417848;  // RPC_E_DISCONNECTED

PlatformError Unsupported();   // a member the object does not have
PlatformError Disconnected();  // a call on an object whose window has gone

// What every automation object of one browser window shares: a window told to fail, or one that
// has closed, fails every call on it, its pages and their elements included. `failCall` is asked
// with the member's name before each call ("Connect", "FullScreen", "activeElement" ...); a call
// answered true fails as on a window that has just closed.
struct WindowScope {
  std::string label;  // the window's name in the script and the trace
  std::optional<PlatformError> failure;
  std::function<bool(std::string_view member)> failCall;
  Trace* trace = nullptr;

  void Check(std::string_view member) const {
    if (failure) throw *failure;
    if (failCall && failCall(member)) throw Disconnected();
  }
};

class SimDocument;

// One frame of a page (a FRAME or IFRAME element), with the document it shows.
class SimFrame : public HtmlFrame, public Dispatch {
 public:
  SimFrame(SimDocument& parent, HtmlNode& element) : parent_(parent), element_(element) {}

  std::string name() override;
  std::shared_ptr<HtmlDocument> document() override;

  SimDocument& Parent() { return parent_; }
  HtmlNode& Element() { return element_; }
  std::string Name() const { return element_.AttributeOr("name"); }
  // Null until the frame has loaded its page.
  const std::shared_ptr<SimDocument>& Shown() const { return shown_; }
  void Show(std::shared_ptr<SimDocument> document);

 private:
  SimDocument& parent_;
  HtmlNode& element_;
  std::shared_ptr<SimDocument> shown_;
};

// An HTML page shown in a window or a frame: its parsed elements, the element with the focus
// and its frames.
class SimDocument : public HtmlDocument, public std::enable_shared_from_this<SimDocument> {
 public:
  SimDocument(std::string address, std::unique_ptr<HtmlNode> root,
              std::shared_ptr<WindowScope> scope);

  std::shared_ptr<HtmlElement> activeElement() override;
  int framesLength() override;
  std::shared_ptr<HtmlFrame> frameItem(int index) override;

  const std::string& Address() const { return address_; }
  HtmlNode& Root() { return *root_; }
  WindowScope& Scope() { return *scope_; }
  // The address and target that links and forms of this page start from (a BASE element's).
  std::string BaseAddress() const;
  std::string BaseTarget() const;

  HtmlNode* Focused() const { return focused_; }
  // The element takes the focus; every page that holds this one in a frame focuses that frame.
  void Focus(HtmlNode& element);
  // The focus goes back to the page itself.
  void ResetFocus();

  const std::vector<std::shared_ptr<SimFrame>>& Frames() const { return frames_; }
  SimFrame* OwnerFrame() const { return ownerFrame_; }
  void SetOwnerFrame(SimFrame* frame) { ownerFrame_ = frame; }
  // The frame of this page, or of a page in one of its frames, with that name; nullptr if none.
  SimFrame* FindFrame(const std::string& name);

 private:
  std::string address_;
  std::unique_ptr<HtmlNode> root_;
  std::shared_ptr<WindowScope> scope_;
  HtmlNode* focused_ = nullptr;
  std::vector<std::shared_ptr<SimFrame>> frames_;
  SimFrame* ownerFrame_ = nullptr;
};

// One element of a page as the page's object model hands it out.
class SimElement : public HtmlElement {
 public:
  SimElement(std::shared_ptr<SimDocument> document, HtmlNode& node)
      : document_(std::move(document)), node_(node) {}

  std::string tagName() override;
  std::string href() override;
  std::string type() override;
  std::string name() override;
  std::shared_ptr<HtmlElement> parentElement() override;
  void blur() override;
  std::string method() override;
  std::string action() override;

 private:
  std::shared_ptr<SimDocument> document_;
  HtmlNode& node_;
};

// A short name of an element for the trace: its tag with its id, name or link text.
std::string DescribeElement(const HtmlNode& node);

// The element's `type` as the browser gives it (lower case, with the tag's default); nullopt
// for an element that has no type.
std::optional<std::string> ElementType(const HtmlNode& node);

}  // namespace velmox::sim
