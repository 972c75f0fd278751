#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

namespace standin {

class World;

// The stand-in's commands: from the driver program (standin_drive.exe), which finds the hidden
// window "StandIn.Driver" titled with this process's file name and hands it one command a
// WM_COPYDATA; from the file named by the environment variable STANDIN_BROWSER_START, run when
// the stand-in starts (the windows open before Velmox looks); and armed to run inside a call.
// Commands run one a turn of the message loop, the browser's own work and whatever else was
// posted in between.
//
//   now COMMAND...                 COMMAND runs on the next turn of whatever message loop runs,
//                                  also while an earlier command is still running (a message
//                                  box Velmox shows inside an event, say)
//   page ADDRESS FILE              the page at ADDRESS is described in FILE
//   open ID ADDRESS [OPTION...]    the user opens a window showing ADDRESS; options: name=TEXT
//                                  (one word; "_" stands for a blank), visible=0, fullscreen=1,
//                                  theater=1, menubar=0, statusbar=0, toolbar=N, bare (no web
//                                  browser: an entry without IWebBrowser2)
//   close ID                       the user closes the window
//   navigate ID ADDRESS            the user enters an address
//   popup ID ADDRESS [events=E] [apart] [fresh]
//                                  the page's script opens a new window; E is 2, 3, 2,3 or 3,2:
//                                  which of NewWindow2 and NewWindow3 the browser raises, in order;
//                                  apart: the second on a later turn of the message loop; fresh:
//                                  each from an empty ppDisp and Cancel
//   click ID ELEMENT [events=E]    the user clicks the element with that id
//   focus ID ELEMENT               the page's script moves the focus to the element
//   context-menu ID SCRIPT [long]  the user picks a context-menu entry that runs SCRIPT (a path, or
//                                  a file name in the program's own folder); long: the browser
//                                  reports the address with the folders' long names
//   report                         records "listed ID sinks=N" for every listed window, in order
//   mark TEXT...                   records "mark TEXT...": everything before it has happened
//   wait MS                        the next command waits MS milliseconds
//   wait-key VK down|up            the next command waits until that key is down (or up)
//   arm OWNER MEMBER COMMAND...    COMMAND runs inside the next call of MEMBER (Name, Navigate,
//                                  Advise, Unadvise, ...) of window OWNER, or of "collection"
//                                  (Count, Item, _NewEnum, Next, Advise, Unadvise); the command
//                                  "fail" makes that call fail
class Driver {
 public:
  explicit Driver(World& world);
  ~Driver();
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;

  void Queue(std::string command);
  void Later(std::function<void()> task);
  // Runs a command at once, in the middle of whatever called it.
  void RunNow(const std::string& command);
  void RunStartFile();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Pump();
  void Execute(const std::string& line);
  void Resume();

  World& world_;
  HWND window_ = nullptr;
  std::deque<std::string> commands_;
  std::deque<std::string> now_;
  std::deque<std::function<void()>> tasks_;
  bool busy_ = false;     // a command or task is running; work that arrives meanwhile waits
  bool waiting_ = false;  // "wait" or "wait-key" holds the next command back
  int awaitedKey_ = 0;
  bool awaitedDown_ = true;
  DWORD waitEnd_ = 0;
};

}  // namespace standin
