// The Wine tests' eyes on the Settings dialog's keyboard state, from outside its process: only
// messages whose answer is a number cross processes, so everything is read that way.
//   dialog_probe list            prints "focused=F selected=A,B,... top=T" of the website list
//   dialog_probe list-row ROW    prints the screen point "X Y" in the middle of a visible row
//   dialog_probe focus ID        gives control ID the keyboard focus, as Tab would
//   dialog_probe focused         prints the ID of the control that has the keyboard focus
//   dialog_probe checked ID      exit status 0 when button ID is checked, 1 when not
//   dialog_probe font NAME       exit status 0 when the font family NAME is installed (the title
//                                bar draws its buttons with "Marlett")
// Each but font waits up to five seconds for the dialog.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/resource_ids.h"
#include "win32/find_control.h"

namespace {

HWND Dialog() {
  for (int i = 0; i < 100; ++i) {
    if (HWND window = FindWindowA(nullptr, "Velmox Settings")) return window;
    Sleep(50);
  }
  std::fprintf(stderr, "dialog_probe: no Settings dialog\n");
  return nullptr;
}

HWND Control(HWND dialog, int id) {
  HWND found = velmox::test::FindControl(dialog, id);
  if (!found) std::fprintf(stderr, "dialog_probe: no control %d\n", id);
  return found;
}

int TopRow(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
}

// A row's height in pixels: the list scrolls whole rows, so the least scroll that moves it two
// rows less the least that moves it one, whichever way the list rounds. Scrolled back after.
int RowHeight(HWND list) {
  const int top = TopRow(list);
  const int direction = top > 0 ? -1 : 1;  // a list at its end scrolls back
  int oneRow = 0;
  for (int pixels = 1; pixels < 200; ++pixels) {
    SendMessageA(list, LVM_SCROLL, 0, direction * pixels);
    const int moved = (TopRow(list) - top) * direction;
    if (moved) SendMessageA(list, LVM_SCROLL, 0, -direction * pixels);
    if (TopRow(list) != top) return 0;
    if (moved >= 1 && !oneRow) oneRow = pixels;
    if (moved >= 2) return pixels - oneRow;
  }
  return 0;
}

int PrintList(HWND list) {
  std::string selected;
  for (int row = -1;
       (row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;) {
    if (!selected.empty()) selected += ',';
    selected += std::to_string(row);
  }
  std::printf("focused=%d selected=%s top=%d\n",
              static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED)),
              selected.c_str(), TopRow(list));
  return 0;
}

int PrintRowPoint(HWND list, int row) {
  const int height = RowHeight(list);
  RECT header{};
  HWND headerWindow = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  if (!height || !headerWindow || !GetWindowRect(headerWindow, &header)) return 1;
  const int y = header.bottom + (row - TopRow(list)) * height + height / 2;
  std::printf("%ld %d\n", header.left + 20, y);
  return 0;
}

int CALLBACK FontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FontInstalled(const char* name) {
  LOGFONTA font{};
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, name, LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExA(screen, &font, &FontFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

int Run(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string command = argv[1];
  if (command == "font" && argc == 3) return FontInstalled(argv[2]) ? 0 : 1;
  HWND dialog = Dialog();
  if (!dialog) return 1;
  if (command == "list" || (command == "list-row" && argc == 3)) {
    HWND list = Control(dialog, IDC_LISTVIEW1);
    if (!list) return 1;
    return command == "list" ? PrintList(list) : PrintRowPoint(list, std::atoi(argv[2]));
  }
  if (command == "focused") {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread)) return 1;
    std::printf("%d\n", thread.hwndFocus ? GetDlgCtrlID(thread.hwndFocus) : 0);
    return 0;
  }
  if (argc != 3) return 2;
  HWND control = Control(dialog, std::atoi(argv[2]));
  if (!control) return 1;
  if (command == "focus") {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    return 0;
  }
  if (command == "checked") return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 0 : 1;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  return Run(argc, argv);
}
