#pragma once

#include <optional>
#include <string>
#include <vector>

namespace standin {

class Window;
class World;

// The browser navigates one of its windows: BeforeNavigate2, then the page unless a sink
// cancelled it. `reported`, when given, is the address BeforeNavigate2 carries instead.
void NavigateWindow(Window& window, const std::string& url,
                    const std::optional<std::string>& postData, const std::wstring& reported = {});

// A page asks for a new window. The browser raises NewWindow2 or NewWindow3 (or both, in the
// order given, for one request) on the opener. When a sink leaves an object in ppDisp, the new
// window's navigation goes to that object; when none does, the browser opens the window itself.
struct NewWindowRequest {
  std::string url;
  std::optional<std::string> postData;
  std::vector<int> events{2};
  bool byUser = false;  // a click, not a script: NewWindow3's flags say so
  // The second event comes on a later turn of the message loop, as from a browser in another
  // process, whose call arrives after the caller has gone back to its loop.
  bool apart = false;
  // Each event starts from an empty ppDisp and Cancel rather than the answer to the one before.
  bool fresh = false;
};
void RequestNewWindow(World& world, Window& opener, const NewWindowRequest& request);

// The page's script moves the focus to an element of the window's page; false when it has none.
bool FocusElement(Window& window, const std::string& elementId);

// The user clicks an element of the window's page: it takes the focus, then a link or a form's
// submit or image button makes its request, in a new window when its target is "_blank".
void Click(World& world, Window& window, const std::string& elementId,
           const std::vector<int>& events);

// The browser runs a context-menu script file on the window's page: the address the script
// navigates the top window to is reported as a local path, as the browser does for files, and
// whether that file can be opened is recorded. `longForm`: the path is reported with the long
// name of every folder in it, as a browser that resolves short names would report it.
void RunContextMenuScript(Window& window, const std::string& scriptFile, bool longForm);

}  // namespace standin
