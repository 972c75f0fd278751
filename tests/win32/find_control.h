#pragma once

#include <windows.h>

namespace velmox::test {

// The control of a dialog (at any depth: the Settings dialog's pages are child windows) with
// the given id, or nullptr.
inline HWND FindControl(HWND dialog, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      dialog,
      [](HWND window, LPARAM data) -> BOOL {
        auto* each = reinterpret_cast<Search*>(data);
        if (GetDlgCtrlID(window) != each->id) return TRUE;
        each->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace velmox::test
