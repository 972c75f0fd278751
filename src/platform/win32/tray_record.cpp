#include "platform/win32/tray_record.h"

#include <cstring>

namespace velmox::win32 {

NOTIFYICONDATAA ToNotifyIconDataA(const NotifyIconData& record) {
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = reinterpret_cast<HWND>(record.hWnd);
  data.uID = record.uID;
  static_assert(kNotifyIconMessage == NIF_MESSAGE && kNotifyIconIcon == NIF_ICON &&
                kNotifyIconTip == NIF_TIP);
  data.uFlags = record.uFlags;
  data.uCallbackMessage = record.uCallbackMessage;
  data.hIcon = reinterpret_cast<HICON>(record.hIcon);
  // The first version's tip is 64 bytes; the rest of the larger field stays NUL, so a tip with
  // no NUL of its own still ends at 64 characters.
  static_assert(sizeof data.szTip >= sizeof record.szTip);
  std::memcpy(data.szTip, record.szTip.data(), record.szTip.size());
  return data;
}

}  // namespace velmox::win32
