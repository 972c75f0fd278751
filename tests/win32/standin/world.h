#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "browser_window.h"
#include "collection.h"

namespace standin {

class Driver;

// The stand-in browser of one process: its windows, the collection that lists them, the pages
// it knows, and the commands armed to run inside a call. COM finds an in-process server only
// through the functions it exports, so the one instance lives as long as the process.
class World {
 public:
  static World& Instance();

  Collection& TheCollection() { return *collection_; }
  // The windows the collection lists, in the order they registered.
  const std::vector<Window*>& Listed() const { return listed_; }
  Window* Find(const std::string& id) const;

  // A new window, not listed yet. An empty id gives the next of "w1", "w2", ...
  Window& Create(const std::string& id, WindowFeatures features);
  // Lists the window and raises WindowRegistered: now, or from the message loop when the window
  // came from a call of Velmox's (it is created in the middle of Velmox's own work).
  void Register(Window& window, bool fromVelmoxCall);
  // Unlists and closes the window, then raises WindowRevoked.
  void Revoke(Window& window);

  // The description of the page at an address; an address without one shows an empty page.
  void SetPage(const std::string& address, std::string description);
  // A new document for the page at an address, with its frames' pages (one level of frames).
  Document* LoadDocument(const std::string& windowId, const std::string& address);

  // Called at the start of every member: runs the command armed for this member, if any.
  // The command "fail" makes the call fail instead.
  HRESULT Enter(const std::string& owner, const std::string& member);
  void Arm(std::string owner, std::string member, std::string command);

  // Work of the browser's that follows from the message loop, as a real browser's does.
  void Later(std::function<void()> task);
  Driver& Commands() { return *driver_; }

 private:
  World();
  Document* LoadPage(const std::string& windowId, const std::string& address, bool withFrames);

  struct Armed {
    std::string owner, member, command;
  };

  Collection* collection_;
  std::vector<Window*> listed_;  // each holds a reference
  std::map<std::string, long> cookies_;
  std::map<std::string, std::string> pages_;
  std::vector<Armed> armed_;
  std::unique_ptr<Driver> driver_;
  int created_ = 0;
  long lastCookie_ = 0;
};

}  // namespace standin
