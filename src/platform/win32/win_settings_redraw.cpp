// The Settings window's controls made to show the model's state.
#include "platform/win32/win_settings_window.h"

#include <commctrl.h>

#include "core/failure.h"
#include "platform/win32/list_view_rows.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/settings_controls.h"
#include "ui/settings_dialog/frm_options.h"

namespace velmox::win32 {

void WinSettingsWindow::Redraw(std::string_view name) {
  if (!frame_.Valid() || !dialog_) return;
  redrawing_ = true;
  SkipOnFailure([&] {
    if (name == "frmOptions") {
      SetTextIfChanged(frame_.Get(), dialog_->Caption);
    } else if (name == dialog_->controls.tbsOptions.name) {
      TabCtrl_SetCurSel(GetDlgItem(frame_.Get(), IDC_TBSOPTIONS),
                        dialog_->controls.tbsOptions.selected - 1);
    } else if (name == dialog_->controls.ListView1.name) {
      RedrawList();
    } else if (const Control* control = dialog_->controls.Find(name)) {
      RedrawControl(*control);
    }
  });
  redrawing_ = false;
}

void WinSettingsWindow::RedrawAll() {
  Redraw("frmOptions");
  Redraw(dialog_->controls.tbsOptions.name);
  Redraw(dialog_->controls.ListView1.name);
  for (const Control* control : dialog_->controls.All())
    Redraw(control->name);
}

void WinSettingsWindow::RedrawControl(const Control& control) {
  const int page = PageIndex(control.name);
  if (page >= 0) {
    // A page out of sight is moved away, as the model does, and disabled.
    SetWindowPos(pages_[static_cast<std::size_t>(page)], nullptr, Pixels(control.left, true),
                 pageTop_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EnableWindow(pages_[static_cast<std::size_t>(page)], control.enabled);
    return;
  }
  HWND window = ControlWindow(control.name);
  if (!window) return;
  switch (control.kind) {
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
      SetTextIfChanged(window, control.caption);
      SendMessageA(window, BM_SETCHECK,
                   control.value == kChecked  ? BST_CHECKED
                   : control.value == kGrayed ? BST_INDETERMINATE
                                              : BST_UNCHECKED,
                   0);
      break;
    case ControlKind::TextBox:
      SetTextIfChanged(window, control.text);
      InvalidateRect(window, nullptr, TRUE);
      break;
    case ControlKind::Picture:
    case ControlKind::Page:
      break;
    default:
      SetTextIfChanged(window, control.caption);
  }
  EnableWindow(window, control.enabled);
  ShowWindow(window, control.visible ? SW_SHOWNA : SW_HIDE);
}

void WinSettingsWindow::RedrawList() {
  if (followingList_) return;
  const ListView& model = dialog_->controls.ListView1;
  HWND list = ControlWindow(model.name);
  if (!columnsAdded_) {
    for (std::size_t i = 0; i < model.columns.size(); ++i) {
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      column.pszText = const_cast<char*>(model.columns[i].header.c_str());
      column.cx = Pixels(model.columns[i].width, true);
      column.iSubItem = static_cast<int>(i);
      SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    columnsAdded_ = true;
  }
  ShowRows(list, model);
}

}  // namespace velmox::win32
