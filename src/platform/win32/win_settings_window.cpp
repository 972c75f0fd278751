#include "platform/win32/win_settings_window.h"

#include <commctrl.h>

#include <string>

#include "core/failure.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/settings_controls.h"
#include "platform/win32/trace.h"
#include "platform/win32/win_error.h"
#include "ui/settings_dialog/frm_options.h"

namespace velmox::win32 {
namespace {

int ShiftState() {
  return (GetKeyState(VK_SHIFT) < 0 ? kShiftShift : 0) |
         (GetKeyState(VK_CONTROL) < 0 ? kShiftCtrl : 0) |
         (GetKeyState(VK_MENU) < 0 ? kShiftAlt : 0);
}

// The model's name for the control with the keyboard focus, or "" for none of them.
std::string_view FocusedName() {
  const Binding* b = BindingOf(GetDlgCtrlID(GetFocus()));
  return b ? b->name : "";
}

bool IsLink(const frmOptions& dialog, HWND control) {
  const Binding* b = BindingOf(GetDlgCtrlID(control));
  if (!b) return false;
  const Control* c = const_cast<frmOptions&>(dialog).controls.Find(b->name);
  return c && c->kind == ControlKind::Link;
}

}  // namespace

WinSettingsWindow::~WinSettingsWindow() {
  Destroy();
}

int WinSettingsWindow::Pixels(int twips, bool horizontal) const {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, horizontal ? LOGPIXELSX : LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return MulDiv(twips, dpi, 1440);
}

void WinSettingsWindow::Create(frmOptions& dialog) {
  Destroy();
  dialog_ = &dialog;
  frame_.Reset(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(VELMOX_DLG_SETTINGS),
                                  nullptr, &Procedure, reinterpret_cast<LPARAM>(this)));
  if (!frame_.Valid()) ThrowLastError();
  SetUpFrame();
  dialog.onChanged = [this](std::string_view name) { Redraw(name); };
  RedrawAll();
  Trace("Settings dialog created");
}

void WinSettingsWindow::SetUpFrame() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND tabs = GetDlgItem(frame_.Get(), IDC_TBSOPTIONS);
  const auto& strip = dialog_->controls.tbsOptions;
  for (std::size_t i = 0; i < strip.tabs.size(); ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(strip.tabs[i].caption.c_str());
    SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  RECT area{};
  GetWindowRect(tabs, &area);
  MapWindowPoints(nullptr, frame_.Get(), reinterpret_cast<POINT*>(&area), 2);
  TabCtrl_AdjustRect(tabs, FALSE, &area);
  pageTop_ = area.top;

  for (int i = 0; i < 5; ++i) {
    pages_[i] = CreateDialogParamA(instance, MAKEINTRESOURCEA(VELMOX_DLG_PAGE0 + i), frame_.Get(),
                                   &Procedure, reinterpret_cast<LPARAM>(this));
    if (!pages_[i]) ThrowLastError();
    // Above the tab strip in the Z order, so the pages draw over its display area.
    SetWindowPos(pages_[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(pages_[i], SW_SHOW);
  }

  HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(frame_.Get(), WM_GETFONT, 0, 0));
  LOGFONTA font{};
  GetObjectA(dialogFont, sizeof font, &font);
  font.lfUnderline = TRUE;
  linkFont_.Reset(CreateFontIndirectA(&font));
  font.lfUnderline = FALSE;
  font.lfWeight = FW_BOLD;
  font.lfHeight =
      -MulDiv(static_cast<int>(dialog_->controls.Label4.fontPoints * 10), Pixels(1440, false), 720);
  titleFont_.Reset(CreateFontIndirectA(&font));
  for (const char* link : {"Label15", "Label6", "Label7", "Label8"}) {
    SendMessageA(ControlWindow(link), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.Get()), TRUE);
  }
  SendMessageA(ControlWindow("Label4"), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.Get()),
               TRUE);
  bulb_.Reset(static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(VELMOX_ICON_ALERT), IMAGE_ICON, 16, 16, 0)));
  SendMessageA(ControlWindow("Picture1"), STM_SETICON, reinterpret_cast<WPARAM>(bulb_.Get()), 0);

  HWND list = ControlWindow("ListView1");
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

  // Tool tips of the controls that have one; the tab strip shows its tabs' own.
  HWND tips = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                              frame_.Get(), nullptr, instance, nullptr);
  for (Control* control : dialog_->controls.All()) {
    if (!control->toolTip.empty()) AddToolTip(tips, ControlWindow(control->name));
  }
  AddToolTip(tips, list);
}

void WinSettingsWindow::AddToolTip(HWND tips, HWND control) {
  if (!tips || !control) return;
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = frame_.Get();
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void WinSettingsWindow::CenterOnScreen() {
  RECT box{};
  GetWindowRect(frame_.Get(), &box);
  const int width = box.right - box.left, height = box.bottom - box.top;
  SetWindowPos(frame_.Get(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WinSettingsWindow::Show() {
  ShowWindow(frame_.Get(), SW_SHOW);
  SetForegroundWindow(frame_.Get());
  Trace("Settings dialog shown");
}

void WinSettingsWindow::BringToFront() {
  if (IsIconic(frame_.Get())) ShowWindow(frame_.Get(), SW_RESTORE);
  SetForegroundWindow(frame_.Get());
  Trace("Settings dialog brought to the front");
}

void WinSettingsWindow::Destroy() {
  if (dialog_) dialog_->onChanged = nullptr;
  dialog_ = nullptr;
  pages_.fill(nullptr);
  columnsAdded_ = false;
  if (frame_.Valid()) Trace("Settings dialog closed");
  frame_.Reset();
}

bool WinSettingsWindow::PreTranslate(MSG& message) {
  if (!frame_.Valid() || !dialog_) return false;
  if (message.hwnd != frame_.Get() && !IsChild(frame_.Get(), message.hwnd)) return false;
  static_assert(kKeyTab == VK_TAB && kKeyEnter == VK_RETURN && kKeyDelete == VK_DELETE &&
                kKeyF1 == VK_F1);
  if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
    if (dialog_->Form_KeyDown(static_cast<int>(message.wParam), ShiftState(), FocusedName()))
      return true;
    if (!frame_.Valid()) return true;
  }
  const HWND focusBefore = GetFocus();
  const bool used = IsDialogMessageA(frame_.Get(), &message) != FALSE;
  const bool arrow =
      message.message == WM_KEYDOWN && message.wParam >= VK_LEFT && message.wParam <= VK_DOWN;
  if (used && arrow) ChooseFocusedOption(focusBefore);
  return used;
}

// The option buttons are not automatic (the model decides their state), so the dialog manager
// only moves the focus between them; an arrow key that moved it onto one chooses it, as with
// automatic ones. Each set of option buttons is a group of its own, so this stays inside a set.
void WinSettingsWindow::ChooseFocusedOption(HWND focusBefore) {
  const HWND focus = GetFocus();
  if (!frame_.Valid() || focus == focusBefore || !IsChild(frame_.Get(), focus)) return;
  const Binding* binding = BindingOf(GetDlgCtrlID(focus));
  const Control* control = binding ? dialog_->controls.Find(binding->name) : nullptr;
  if (control && control->kind == ControlKind::OptionButton && control->value != kChecked) {
    dialog_->Click(binding->name);
  }
}

INT_PTR CALLBACK WinSettingsWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
    return TRUE;
  }
  auto* self = reinterpret_cast<WinSettingsWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return FALSE;
  return TrapOr<INT_PTR>(FALSE, [&] { return self->OnMessage(window, message, wParam, lParam); });
}

INT_PTR WinSettingsWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!dialog_) return FALSE;
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return TRUE;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      return OnColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
      if (IsLink(*dialog_, reinterpret_cast<HWND>(wParam))) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      if (window == frame_.Get()) dialog_->CloseWindow();
      return TRUE;
  }
  return FALSE;
}

void WinSettingsWindow::OnCommand(int id, int code, HWND control) {
  if (redrawing_ || !control) return;
  const Binding* binding = BindingOf(id);
  if (!binding) return;
  if (code == BN_CLICKED) {  // also STN_CLICKED of the links
    dialog_->Click(binding->name);
  } else if (code == EN_CHANGE) {
    dialog_->ChangeText(binding->name, WindowText(control));
  } else if (code == EN_KILLFOCUS) {
    dialog_->LeaveText(binding->name);
  }
}

void WinSettingsWindow::OnNotify(const NMHDR& header) {
  if (header.code == TTN_GETDISPINFOA) {
    auto& request = const_cast<NMTTDISPINFOA&>(reinterpret_cast<const NMTTDISPINFOA&>(header));
    request.lpszText = const_cast<char*>(ToolTipFor(request).c_str());
    return;
  }
  if (redrawing_) return;
  if (header.idFrom == IDC_TBSOPTIONS && header.code == TCN_SELCHANGE) {
    dialog_->SelectTab(TabCtrl_GetCurSel(header.hwndFrom) + 1);
    return;
  }
  if (header.idFrom != IDC_LISTVIEW1) return;
  if (header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED)) {
      // The list already shows this change, and may be half-way through a larger one (a Shift
      // range): the model follows it without redrawing the list. Row -1 stands for every row.
      const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
      const std::size_t rows = dialog_->controls.ListView1.rows.size();
      followingList_ = true;
      for (std::size_t row = 0; row < rows; ++row) {
        if (change.iItem < 0 || static_cast<std::size_t>(change.iItem) == row) {
          dialog_->SelectRow(row, selected);
        }
      }
      followingList_ = false;
    }
  } else if (header.code == LVN_COLUMNCLICK) {
    dialog_->ListView1_ColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem + 1);
  } else if (header.code == LVN_KEYDOWN) {
    dialog_->ListView1_KeyDown(reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey, ShiftState());
  }
}

const std::string& WinSettingsWindow::ToolTipFor(const NMTTDISPINFOA& request) const {
  static const std::string none;
  auto& controls = dialog_->controls;
  if (!(request.uFlags & TTF_IDISHWND)) {
    // The tab strip's own tips name the tab by its index.
    const auto& tabs = controls.tbsOptions.tabs;
    return request.hdr.idFrom < tabs.size() ? tabs[request.hdr.idFrom].toolTip : none;
  }
  const Binding* binding = BindingOf(GetDlgCtrlID(reinterpret_cast<HWND>(request.hdr.idFrom)));
  if (!binding) return none;
  if (controls.ListView1.name == binding->name) return controls.ListView1.toolTip;
  const Control* control = controls.Find(binding->name);
  return control ? control->toolTip : none;
}

INT_PTR WinSettingsWindow::OnColour(HDC dc, HWND control) {
  if (IsLink(*dialog_, control)) {
    SetTextColor(dc, RGB(0, 0, 255));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
  }
  const Binding* binding = BindingOf(GetDlgCtrlID(control));
  const Control* model = binding ? dialog_->controls.Find(binding->name) : nullptr;
  if (!model || model->kind != ControlKind::TextBox || model->backColour == kNoColour) {
    return FALSE;
  }
  SetBkColor(dc, GetSysColor(model->backColour));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(model->backColour));
}

HWND WinSettingsWindow::ControlWindow(std::string_view name) const {
  const Binding* binding = BindingOf(name);
  if (!binding) return nullptr;
  HWND parent = binding->page < 0 ? frame_.Get() : pages_[static_cast<std::size_t>(binding->page)];
  return GetDlgItem(parent, binding->id);
}

}  // namespace velmox::win32
