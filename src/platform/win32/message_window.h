#pragma once

#include "platform/win32/win_api.h"

#include <functional>

#include "platform/win32/scoped_win.h"

namespace velmox::win32 {

// A hidden window that hands its messages to a function. A message-only window is out of reach of
// whatever walks the desktop's windows (a `taskkill` sends each of a program's windows WM_CLOSE);
// only a top-level one receives broadcasts such as "TaskbarCreated" and the session's end. Either
// way, WM_CLOSE never destroys it: its handler decides what that means.
class MessageWindow {
 public:
  // Returns true when it handled the message and set the result.
  using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
  enum class Kind { TopLevel, MessageOnly };

  MessageWindow(const char* className, Handler handler, Kind kind = Kind::MessageOnly);
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND Get() const { return window_.Get(); }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  Handler handler_;
  ScopedWindow window_;
};

}  // namespace velmox::win32
