#pragma once

#include "platform/win32/win_api.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <string_view>

#include "platform/win32/scoped_win.h"
#include "ui/settings_dialog/dialog_window.h"

namespace velmox {
struct Control;
}

namespace velmox::win32 {

// The Settings dialog on the screen: the resource template's frame with its tab strip and one
// child dialog per page, bound to the dialog's model. The model is the only state: a click
// goes to the model, and the model's change notifications redraw the controls.
class WinSettingsWindow : public SettingsDialogWindow {
 public:
  WinSettingsWindow() = default;
  ~WinSettingsWindow() override;
  WinSettingsWindow(const WinSettingsWindow&) = delete;
  WinSettingsWindow& operator=(const WinSettingsWindow&) = delete;

  void Create(frmOptions& dialog) override;
  std::uintptr_t Handle() override { return reinterpret_cast<std::uintptr_t>(frame_.Get()); }
  void CenterOnScreen() override;
  void Show() override;
  void BringToFront() override;
  void Destroy() override;

  // For the message loop: the dialog's own keys (F1, Ctrl+Tab) and keyboard navigation. True
  // when the message was used up.
  bool PreTranslate(MSG& message);

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int code, HWND control);
  void ChooseFocusedOption(HWND focusBefore);
  void OnNotify(const NMHDR& header);
  INT_PTR OnColour(HDC dc, HWND control);
  void SetUpFrame();
  void AddToolTip(HWND tips, HWND control);
  const std::string& ToolTipFor(const NMTTDISPINFOA& request) const;

  void Redraw(std::string_view name);
  void RedrawAll();
  void RedrawControl(const Control& control);
  void RedrawList();
  HWND ControlWindow(std::string_view name) const;
  int Pixels(int twips, bool horizontal) const;

  frmOptions* dialog_ = nullptr;
  ScopedWindow frame_;
  std::array<HWND, 5> pages_{};  // children of the frame, destroyed with it
  int pageTop_ = 0;
  bool redrawing_ = false;  // the controls' own notifications while code sets them are not input
  bool columnsAdded_ = false;
  bool followingList_ = false;  // the model takes a selection the list shows already
  ScopedFont linkFont_;
  ScopedFont titleFont_;
  ScopedIcon bulb_;
};

}  // namespace velmox::win32
