#include "platform/win32/win_tray_shell.h"

#include "platform/win32/win_api.h"

#include <shellapi.h>

#include <algorithm>

#include "platform/win32/resource_ids.h"
#include "platform/win32/trace.h"
#include "platform/win32/tray_record.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {
namespace {

const char* MessageName(NotifyIconMessage message) {
  switch (message) {
    case NotifyIconMessage::Add:
      return "Add";
    case NotifyIconMessage::Modify:
      return "Modify";
    case NotifyIconMessage::Delete:
      return "Delete";
  }
  return "?";
}

ScopedIcon LoadBulb(int resource) {
  // Small-icon size: the notification area shows 16x16 at the usual resolution.
  ScopedIcon icon(static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
  if (!icon.Valid()) ThrowLastError();
  return icon;
}

}  // namespace

WinTrayShell::WinTrayShell()
    : taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")),
      window_(
          kWindowClass,
          [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            return OnMessage(message, wParam, lParam, result);
          },
          MessageWindow::Kind::TopLevel) {}

bool WinTrayShell::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static_assert(kMouseMove == WM_MOUSEMOVE && kLButtonDown == WM_LBUTTONDOWN &&
                kLButtonUp == WM_LBUTTONUP && kLButtonDblClick == WM_LBUTTONDBLCLK &&
                kRButtonDown == WM_RBUTTONDOWN && kRButtonUp == WM_RBUTTONUP &&
                kRButtonDblClick == WM_RBUTTONDBLCLK);
  if (message == kCallbackMessage) {
    const int mouseMessage = LOWORD(lParam);
    Trace("Tray callback " + std::to_string(mouseMessage));
    if (callback_) callback_(mouseMessage);
    result = 0;
    return true;
  }
  // Velmox never holds the session up; it closes when the session does end (wParam TRUE).
  if (message == WM_QUERYENDSESSION) {
    result = TRUE;
    return true;
  }
  if (message == WM_CLOSE || (message == WM_ENDSESSION && wParam)) {
    Trace(message == WM_CLOSE ? "Asked to close" : "The session ends");
    if (closeRequest_) closeRequest_();
    result = 0;
    return true;
  }
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    if (shown_) {
      NOTIFYICONDATAA data = ToNotifyIconDataA(*shown_);
      ::Shell_NotifyIconA(NIM_ADD, &data);
      Trace("Shell_NotifyIconA Add again: the taskbar was created anew");
    }
    result = 0;
    return true;
  }
  return false;
}

std::uintptr_t WinTrayShell::CallbackWindow() {
  return reinterpret_cast<std::uintptr_t>(window_.Get());
}

std::uintptr_t WinTrayShell::PictureHandle(BulbPicture picture) {
  const auto index = static_cast<std::size_t>(picture);
  static constexpr int kResources[] = {VELMOX_ICON_ON, VELMOX_ICON_OFF, VELMOX_ICON_ALERT};
  if (!icons_[index].Valid()) icons_[index] = LoadBulb(kResources[index]);
  return reinterpret_cast<std::uintptr_t>(icons_[index].Get());
}

const char* WinTrayShell::PictureName(std::uintptr_t icon) const {
  static constexpr const char* kNames[] = {"on", "off", "alert"};
  for (std::size_t i = 0; i < icons_.size(); ++i) {
    if (icons_[i].Valid() && reinterpret_cast<std::uintptr_t>(icons_[i].Get()) == icon) {
      return kNames[i];
    }
  }
  return "none";
}

bool WinTrayShell::Shell_NotifyIconA(NotifyIconMessage message, const NotifyIconData& record) {
  NOTIFYICONDATAA data = ToNotifyIconDataA(record);
  const BOOL done = ::Shell_NotifyIconA(static_cast<DWORD>(message), &data);
  if (message == NotifyIconMessage::Delete) {
    shown_.reset();
  } else if (message == NotifyIconMessage::Add || shown_) {
    shown_ = record;
  }
  const auto tipEnd = std::find(record.szTip.begin(), record.szTip.end(), '\0');
  Trace(std::string("Shell_NotifyIconA ") + MessageName(message) +
        " picture=" + PictureName(record.hIcon) +
        " tip=" + std::string(record.szTip.begin(), tipEnd) + (done ? "" : " (refused)"));
  return done != FALSE;
}

bool WinTrayShell::SetForegroundWindow(std::uintptr_t window) {
  return ::SetForegroundWindow(reinterpret_cast<HWND>(window)) != FALSE;
}

int WinTrayShell::TrackPopupMenu(const PopupMenuModel& model) {
  ScopedMenu menu(CreatePopupMenu());
  if (!menu.Valid()) ThrowLastError();
  for (std::size_t i = 0; i < model.items.size(); ++i) {
    const bool separator = model.items[i] == "-";
    // Command ids start at 1: TrackPopupMenu answers 0 for a dismissed menu.
    if (!AppendMenuA(menu.Get(), separator ? MF_SEPARATOR : MF_STRING, i + 1,
                     separator ? nullptr : model.items[i].c_str())) {
      ThrowLastError();
    }
  }
  if (model.defaultItem >= 0) SetMenuDefaultItem(menu.Get(), model.defaultItem, TRUE);
  POINT at{};
  GetCursorPos(&at);
  Trace("TrackPopupMenu " + std::to_string(model.items.size()) + " items");
  const int chosen = static_cast<int>(
      ::TrackPopupMenu(menu.Get(), TPM_RETURNCMD, at.x, at.y, 0, window_.Get(), nullptr));
  // Without a message of its own after the menu, the next tray menu may not close properly.
  PostMessageA(window_.Get(), WM_NULL, 0, 0);
  Trace("TrackPopupMenu chose " + std::to_string(chosen - 1));
  return chosen - 1;
}

}  // namespace velmox::win32
