#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/platform_error.h"
#include "core/user_action.h"

// The browser's automation surface, shaped after what COM gives: objects with identity whose
// every call may throw PlatformError (a window closed in the middle of a call, a page without
// the member asked for), and events whose by-reference arguments the handler writes.
namespace velmox {

// Any automation object that can travel through a new-window request's ppDisp.
class Dispatch {
 public:
  virtual ~Dispatch() = default;
};

// An event connection; destroying it disconnects the events.
class Connection {
 public:
  virtual ~Connection() = default;
};

// ---- The page document model -------------------------------------------------------------

class HtmlDocument;

class HtmlElement {
 public:
  virtual ~HtmlElement() = default;
  virtual std::string tagName() = 0;
  virtual std::string href() = 0;  // anchors and areas: the absolute address
  virtual std::string type() = 0;  // input elements
  virtual std::string name() = 0;
  // Null at the top of the chain; throws when the parent cannot be read.
  virtual std::shared_ptr<HtmlElement> parentElement() = 0;
  virtual void blur() = 0;
  virtual std::string method() = 0;  // form elements
  virtual std::string action() = 0;  // form elements: the attribute as written
};

class HtmlFrame {
 public:
  virtual ~HtmlFrame() = default;
  virtual std::string name() = 0;
  virtual std::shared_ptr<HtmlDocument> document() = 0;
};

class HtmlDocument {
 public:
  virtual ~HtmlDocument() = default;
  // Throws when no element can be read (a page still loading has none).
  virtual std::shared_ptr<HtmlElement> activeElement() = 0;
  virtual int framesLength() = 0;
  virtual std::shared_ptr<HtmlFrame> frameItem(int index) = 0;
};

// ---- Browser windows -----------------------------------------------------------------------

// Arguments of a navigation. Absent optionals are arguments left out.
struct NavigateArgs {
  std::string url;
  std::optional<long> flags;
  std::optional<std::string> targetFrameName;
  std::optional<std::string> postData;
};

// BeforeNavigate2's arguments. PostData: nullopt holds nothing; an empty string holds an empty
// array. The handler writes Cancel.
struct BeforeNavigate2Args {
  Dispatch* pDisp = nullptr;
  std::string URL;
  std::optional<long> Flags;
  std::string TargetFrameName;
  std::optional<std::string> PostData;
  std::string Headers;
  bool Cancel = false;
  // Set when the desktop could not read URL, Flags or PostData. The handler runs all the same
  // and writes Cancel; one that uses those arguments fails as reading them would have.
  std::optional<PlatformError> Unreadable;
};

class BrowserEvents {
 public:
  virtual ~BrowserEvents() = default;
  virtual void BeforeNavigate2(BeforeNavigate2Args& args) = 0;
  // The object left in ppDisp becomes the new window; null lets the browser create its own.
  // `startedBy` says whether the browser saw a user action start the request.
  virtual void NewWindow2(std::shared_ptr<Dispatch>& ppDisp, bool& Cancel,
                          UserAction startedBy) = 0;
};

// The browser application object of one top-level browser window.
class BrowserWindow : public Dispatch {
 public:
  static constexpr const char* kBrowserName = "Microsoft Internet Explorer";
  static constexpr const char* kHtmlDocumentType = "Microsoft HTML Document 5.0";

  virtual std::string Name() = 0;
  virtual std::string LocationURL() = 0;
  // The shown page's document; null when it is not an HTML document.
  virtual std::shared_ptr<HtmlDocument> Document() = 0;
  virtual std::string Type() = 0;

  virtual bool TheaterMode() = 0;
  virtual void SetTheaterMode(bool value) = 0;
  virtual bool FullScreen() = 0;
  virtual void SetFullScreen(bool value) = 0;
  virtual bool MenuBar() = 0;
  virtual void SetMenuBar(bool value) = 0;
  virtual bool StatusBar() = 0;
  virtual void SetStatusBar(bool value) = 0;
  virtual int ToolBar() = 0;
  virtual void SetToolBar(int value) = 0;
  virtual void SetAddressBar(bool value) = 0;
  virtual void SetVisible(bool value) = 0;

  virtual void Navigate(const NavigateArgs& args) = 0;
  virtual std::unique_ptr<Connection> Connect(BrowserEvents& events) = 0;

  // The user's last activation in the window's pages, frames included, on a desktop that sees
  // trusted input; nullopt where the desktop sees only the focus.
  virtual std::optional<UserActivation> LastUserActivation() { return std::nullopt; }
  // The last activation has been used for a window and counts no more.
  virtual void ConsumeUserActivation() {}
};

// ---- The shell's window collection -------------------------------------------------------

class ShellWindowsEvents {
 public:
  virtual ~ShellWindowsEvents() = default;
  virtual void WindowRegistered(long lCookie) = 0;
  virtual void WindowRevoked(long lCookie) = 0;
};

class WindowEnumerator {
 public:
  virtual ~WindowEnumerator() = default;
  // The next entry taken through its web-browser interface; null at the end.
  virtual std::shared_ptr<BrowserWindow> Next() = 0;
};

class ShellWindows {
 public:
  virtual ~ShellWindows() = default;
  virtual std::unique_ptr<WindowEnumerator> Enumerate() = 0;
  virtual std::unique_ptr<Connection> Connect(ShellWindowsEvents& events) = 0;
};

// ---- Hidden embedded browser controls ------------------------------------------------------

class PageSinkControl {
 public:
  virtual ~PageSinkControl() = default;
  // The control's automation object, handed out as ppDisp.
  virtual std::shared_ptr<Dispatch> Object() = 0;
  virtual std::unique_ptr<Connection> Connect(BrowserEvents& events) = 0;
  // Called from the sink's BeforeNavigate2 for the window it captured. Where the browser keeps
  // that window waiting as a real window, it goes on to `navigation`, its name, size and opener
  // kept, and the answer is true. False where the sink holds no such window or it has gone:
  // the user's window must then be opened anew.
  virtual bool LetCapturedWindowGoOn(const NavigateArgs& navigation) noexcept {
    (void)navigation;
    return false;
  }
};

// Creation of the automation objects.
class BrowserAutomation {
 public:
  virtual ~BrowserAutomation() = default;
  virtual std::unique_ptr<ShellWindows> CreateShellWindows() = 0;
  // A new, initially invisible browser window.
  virtual std::shared_ptr<BrowserWindow> CreateInternetExplorer() = 0;
  // A hidden embedded browser control, created with the address "http:///".
  virtual std::unique_ptr<PageSinkControl> CreatePageSink(int index) = 0;
};

}  // namespace velmox
