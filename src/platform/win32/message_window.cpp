#include "platform/win32/message_window.h"

#include "core/product.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {

MessageWindow::MessageWindow(const char* className, Handler handler, Kind kind)
    : handler_(std::move(handler)) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MessageWindow::Procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  // A second window of the same class finds the class registered already.
  if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    ThrowLastError();
  }
  HWND parent = kind == Kind::MessageOnly ? HWND_MESSAGE : nullptr;
  window_.Reset(CreateWindowExA(0, className, kProductName, WS_POPUP, 0, 0, 0, 0, parent, nullptr,
                                windowClass.hInstance, this));
  if (!window_.Valid()) ThrowLastError();
}

LRESULT CALLBACK MessageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && self->handler_) {
    // Nothing may unwind through the system's frames: a failure ends the message here.
    try {
      LRESULT result = 0;
      if (self->handler_(message, wParam, lParam, result)) return result;
    } catch (...) {
      return 0;
    }
  }
  if (message == WM_CLOSE) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace velmox::win32
