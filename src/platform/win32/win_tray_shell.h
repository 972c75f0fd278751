#pragma once

#include <array>
#include <functional>
#include <optional>

#include "core/desktop_services.h"
#include "platform/win32/message_window.h"

namespace velmox::win32 {

// The notification area: the hidden window that receives the icon's callback message, the three
// bulb icons, and the pop-up menu. It is Velmox's one hidden top-level window, so it is also the
// one that hears the session end and a request to close (a `taskkill` without /F, Restart
// Manager).
class WinTrayShell : public TrayShell {
 public:
  static constexpr UINT kCallbackMessage = WM_MOUSEMOVE;  // the record's uCallbackMessage
  static constexpr const char* kWindowClass = "Velmox.Tray";

  WinTrayShell();

  // Receives the mouse message number the shell puts in the callback's lParam.
  void SetCallback(std::function<void(int mouseMessage)> callback) {
    callback_ = std::move(callback);
  }
  // Runs when Velmox is asked to close: WM_CLOSE, or the session's end (WM_ENDSESSION).
  void SetCloseRequest(std::function<void()> closeRequest) {
    closeRequest_ = std::move(closeRequest);
  }

  std::uintptr_t CallbackWindow() override;
  std::uintptr_t PictureHandle(BulbPicture picture) override;
  bool Shell_NotifyIconA(NotifyIconMessage message, const NotifyIconData& data) override;
  bool SetForegroundWindow(std::uintptr_t window) override;
  int TrackPopupMenu(const PopupMenuModel& menu) override;

 private:
  const char* PictureName(std::uintptr_t icon) const;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  std::function<void(int)> callback_;
  std::function<void()> closeRequest_;
  std::array<ScopedIcon, 3> icons_;
  // The icon as last added, re-added when the shell's taskbar is created anew.
  std::optional<NotifyIconData> shown_;
  UINT taskbarCreated_;
  MessageWindow window_;
};

}  // namespace velmox::win32
