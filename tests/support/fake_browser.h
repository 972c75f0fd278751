#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/browser_automation.h"
#include "core/desktop_services.h"
#include "core/platform_error.h"

// Small fakes of the browser's automation objects for unit tests. They record what was done to
// them, and any of them can be told to fail like an object whose window has just closed.
namespace velmox::test {

inline PlatformError GoneError() {
  return PlatformError(static_cast<long>(0x80010108), "The object invoked has disconnected");
}

struct FakeElement : HtmlElement {
  std::string tag, hrefValue, typeValue, nameValue, methodValue, actionValue;
  std::shared_ptr<FakeElement> parent;
  bool failParent = false;  // reading the parent fails
  bool failAll = false;     // every call fails
  int blurCount = 0;

  std::string tagName() override { return Check(tag); }
  std::string href() override { return Check(hrefValue); }
  std::string type() override { return Check(typeValue); }
  std::string name() override { return Check(nameValue); }
  std::shared_ptr<HtmlElement> parentElement() override {
    if (failAll || failParent) throw GoneError();
    return parent;
  }
  void blur() override {
    Check(std::string());
    ++blurCount;
  }
  std::string method() override { return Check(methodValue); }
  std::string action() override { return Check(actionValue); }

 private:
  std::string Check(const std::string& value) const {
    if (failAll) throw GoneError();
    return value;
  }
};

struct FakeDocument;

struct FakeFrame : HtmlFrame {
  std::string frameName;
  std::shared_ptr<FakeDocument> doc;  // null: the frame has no document
  std::string name() override { return frameName; }
  std::shared_ptr<HtmlDocument> document() override;
};

struct FakeDocument : HtmlDocument {
  std::shared_ptr<FakeElement> active;  // null: no element can be read
  std::vector<std::shared_ptr<FakeFrame>> frames;

  std::shared_ptr<HtmlElement> activeElement() override {
    if (!active) throw GoneError();
    return active;
  }
  int framesLength() override { return static_cast<int>(frames.size()); }
  std::shared_ptr<HtmlFrame> frameItem(int index) override {
    if (index < 0 || index >= framesLength()) throw PlatformError(5, "Invalid index");
    return frames[static_cast<std::size_t>(index)];
  }
};

inline std::shared_ptr<HtmlDocument> FakeFrame::document() {
  if (!doc) throw GoneError();
  return doc;
}

struct FakeConnection : Connection {
  std::function<void()> onDisconnect;
  ~FakeConnection() override {
    if (onDisconnect) onDisconnect();
  }
};

struct FakeWindow : BrowserWindow {
  std::string name = kBrowserName;
  std::string location = "about:blank";
  std::string type = kHtmlDocumentType;
  std::shared_ptr<FakeDocument> document;  // null: not an HTML document
  bool theaterMode = false, fullScreen = false, menuBar = true, statusBar = true;
  int toolBar = 1;
  bool addressBar = true, visible = true;
  bool failing = false;      // every call fails, as on a window that closed
  bool failConnect = false;  // only connecting its events fails
  int locationReads = 0;
  int failLocationFromRead = 0;     // when positive, this LocationURL read and every later one fail
  std::vector<std::string> writes;  // property writes, as "Name=value"
  std::vector<NavigateArgs> navigations;
  BrowserEvents* events = nullptr;  // the connected handler, if any

  std::string Name() override { return Check(name); }
  std::string LocationURL() override {
    ++locationReads;
    if (failLocationFromRead > 0 && locationReads >= failLocationFromRead) throw GoneError();
    return Check(location);
  }
  std::shared_ptr<HtmlDocument> Document() override {
    Check(0);
    return document;
  }
  std::string Type() override { return Check(type); }
  bool TheaterMode() override { return Check(theaterMode); }
  void SetTheaterMode(bool v) override { Write("TheaterMode", theaterMode, v); }
  bool FullScreen() override { return Check(fullScreen); }
  void SetFullScreen(bool v) override { Write("FullScreen", fullScreen, v); }
  bool MenuBar() override { return Check(menuBar); }
  void SetMenuBar(bool v) override { Write("MenuBar", menuBar, v); }
  bool StatusBar() override { return Check(statusBar); }
  void SetStatusBar(bool v) override { Write("StatusBar", statusBar, v); }
  int ToolBar() override { return Check(toolBar); }
  void SetToolBar(int v) override { Write("ToolBar", toolBar, v); }
  void SetAddressBar(bool v) override { Write("AddressBar", addressBar, v); }
  void SetVisible(bool v) override { Write("Visible", visible, v); }
  void Navigate(const NavigateArgs& args) override {
    Check(0);
    navigations.push_back(args);
  }
  std::unique_ptr<Connection> Connect(BrowserEvents& handler) override {
    Check(0);
    if (failConnect) throw PlatformError(static_cast<long>(0x80040200), "Cannot connect");
    events = &handler;
    auto connection = std::make_unique<FakeConnection>();
    connection->onDisconnect = [this, &handler] {
      if (events == &handler) events = nullptr;
    };
    return connection;
  }

 private:
  template <class T>
  T Check(T value) const {
    if (failing) throw GoneError();
    return value;
  }
  template <class T>
  void Write(const char* property, T& field, T value) {
    Check(0);
    field = value;
    writes.push_back(std::string(property) + "=" + std::to_string(static_cast<int>(value)));
  }
};

// The shell's window collection: its windows in enumeration order, its connected events, and
// failures to order. Register and Revoke change the list and raise the event, as the shell does.
struct FakeShellWindows : ShellWindows {
  std::vector<std::shared_ptr<FakeWindow>> windows;
  bool failEnumerate = false;             // Enumerate itself fails
  std::optional<std::size_t> failAtItem;  // the enumeration fails on reaching this item (0-based)
  long failNumber = 0;
  std::string failDescription;
  bool failConnect = false;
  ShellWindowsEvents* events = nullptr;  // the connected handler, if any

  void FailAt(std::size_t item, long number, const std::string& description) {
    failAtItem = item;
    failNumber = number;
    failDescription = description;
  }

  std::unique_ptr<WindowEnumerator> Enumerate() override {
    if (failEnumerate) throw GoneError();
    return std::make_unique<Enumerator>(*this);
  }
  std::unique_ptr<Connection> Connect(ShellWindowsEvents& handler) override {
    if (failConnect) throw PlatformError(static_cast<long>(0x80004002), "No such interface");
    events = &handler;
    auto connection = std::make_unique<FakeConnection>();
    connection->onDisconnect = [this, &handler] {
      if (events == &handler) events = nullptr;
    };
    return connection;
  }

  std::shared_ptr<FakeWindow> Register(std::shared_ptr<FakeWindow> window = nullptr) {
    if (!window) window = std::make_shared<FakeWindow>();
    windows.push_back(window);
    if (events) events->WindowRegistered(++lastCookie);
    return window;
  }
  void Revoke(const std::shared_ptr<FakeWindow>& window) {
    std::erase(windows, window);
    if (events) events->WindowRevoked(lastCookie);
  }

 private:
  struct Enumerator : WindowEnumerator {
    explicit Enumerator(FakeShellWindows& shell) : owner(shell) {}
    std::shared_ptr<BrowserWindow> Next() override {
      if (owner.failAtItem == next) throw PlatformError(owner.failNumber, owner.failDescription);
      if (next >= owner.windows.size()) return nullptr;
      return owner.windows[next++];
    }
    FakeShellWindows& owner;
    std::size_t next = 0;
  };
  long lastCookie = 0;
};

}  // namespace velmox::test

namespace velmox::test {

// The automation object of a hidden page sink, as handed out through ppDisp.
struct FakeSinkObject : Dispatch {
  int index = 0;
};

struct FakePageSinkControl : PageSinkControl {
  std::shared_ptr<FakeSinkObject> object = std::make_shared<FakeSinkObject>();
  bool failObject = false;          // obtaining the automation object fails
  BrowserEvents* events = nullptr;  // the connected handler, if any

  std::shared_ptr<Dispatch> Object() override {
    if (failObject) throw GoneError();
    return object;
  }
  std::unique_ptr<Connection> Connect(BrowserEvents& handler) override {
    events = &handler;
    auto connection = std::make_unique<FakeConnection>();
    connection->onDisconnect = [this, &handler] {
      if (events == &handler) events = nullptr;
    };
    return connection;
  }
};

// A handle on a shared fake collection, as each creation of the real one is.
struct ShellWindowsHandle : ShellWindows {
  explicit ShellWindowsHandle(std::shared_ptr<FakeShellWindows> shell) : target(std::move(shell)) {}
  std::unique_ptr<WindowEnumerator> Enumerate() override { return target->Enumerate(); }
  std::unique_ptr<Connection> Connect(ShellWindowsEvents& handler) override {
    return target->Connect(handler);
  }
  std::shared_ptr<FakeShellWindows> target;
};

// Creates the fakes above. Every shell window collection created is a handle on the one
// `shellWindows` that the test holds.
struct FakeBrowserAutomation : BrowserAutomation {
  std::shared_ptr<FakeShellWindows> shellWindows = std::make_shared<FakeShellWindows>();
  bool failShellWindows = false;
  std::vector<FakePageSinkControl*> sinks;  // in creation order; owned by whoever created them
  std::vector<std::shared_ptr<FakeWindow>> created;  // new browser windows, in creation order
  std::vector<int> failingSinks;                     // these sink indexes cannot be created

  std::unique_ptr<ShellWindows> CreateShellWindows() override {
    if (failShellWindows) throw PlatformError(429, "ActiveX component can't create object");
    return std::make_unique<ShellWindowsHandle>(shellWindows);
  }
  std::shared_ptr<BrowserWindow> CreateInternetExplorer() override {
    auto window = std::make_shared<FakeWindow>();
    window->visible = false;
    window->location = "";
    created.push_back(window);
    return window;
  }
  std::unique_ptr<PageSinkControl> CreatePageSink(int index) override {
    for (int failing : failingSinks) {
      if (failing == index) throw PlatformError(429, "ActiveX component can't create object");
    }
    auto control = std::make_unique<FakePageSinkControl>();
    control->object->index = index;
    sinks.push_back(control.get());
    return control;
  }
};

// The Ctrl key of the new-window decision: answers `state` for every key and records the keys
// asked about.
struct FakeKeyboard : Keyboard {
  std::uint16_t state = 0;
  bool failing = false;
  std::vector<int> asked;

  std::uint16_t GetAsyncKeyState(int virtualKey) override {
    asked.push_back(virtualKey);
    if (failing) throw PlatformError(5, "Access is denied");
    return state;
  }
};

}  // namespace velmox::test
