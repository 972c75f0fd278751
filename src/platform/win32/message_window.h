#pragma once

#include "platform/win32/win_api.h"

#include <functional>

#include "platform/win32/scoped_win.h"

namespace velmox::win32 {

// A hidden top-level window that hands its messages to a function. It is top-level rather than
// message-only so that it also receives broadcasts such as "TaskbarCreated".
class MessageWindow {
 public:
  // Returns true when it handled the message and set the result.
  using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

  MessageWindow(const char* className, Handler handler);
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND Get() const { return window_.Get(); }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  Handler handler_;
  ScopedWindow window_;
};

}  // namespace velmox::win32
