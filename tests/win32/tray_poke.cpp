// The user's and the shell's part in the Wine start-up test: sends Velmox's hidden tray window
// the shell's callback, answers its menu and message boxes, and works the Settings dialog.
//   tray_poke tray MSG...            the tray callback (WM_MOUSEMOVE), each mouse message in lParam
//   tray_poke taskbar-created        tells the tray window that the taskbar was created anew
//   tray_poke menu KEY               presses a menu's mnemonic key in the open pop-up menu
//   tray_poke answer TITLE ID        answers the message box TITLE with the button ID
//   tray_poke next-tab               selects the Settings dialog's next tab, as the arrow key does
//   tray_poke click ID               clicks the Settings dialog's control ID
//   tray_poke rect                   prints the Settings dialog's place on the screen (WxH+X+Y)
//   tray_poke window CLASS           succeeds while a window of CLASS exists
//   tray_poke close CLASS            posts WM_CLOSE to every window of CLASS, message-only or not
//   tray_poke end-session [closeapp] the session ends (or Restart Manager closes the program):
//                                    WM_QUERYENDSESSION, then WM_ENDSESSION, to the tray window
//   tray_poke quit                   posts WM_QUIT to Velmox's thread
// Each waits up to five seconds for its window; the exit status is 0 when it found it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win32/find_control.h"

namespace {

HWND WaitFor(const char* className, const char* title) {
  for (int i = 0; i < 100; ++i) {
    if (HWND window = FindWindowA(className, title)) return window;
    Sleep(50);
  }
  std::fprintf(stderr, "tray_poke: no window %s %s\n", className ? className : "",
               title ? title : "");
  return nullptr;
}

HWND SettingsControl(int id) {
  HWND dialog = WaitFor(nullptr, "Velmox Settings");
  if (!dialog) return nullptr;
  return velmox::test::FindControl(dialog, id);
}

// Every window of a class: the top-level ones and the message-only ones.
int PostToAll(const char* className, UINT message) {
  int posted = 0;
  for (HWND parent : {static_cast<HWND>(nullptr), HWND_MESSAGE}) {
    for (HWND window = FindWindowExA(parent, nullptr, className, nullptr); window;
         window = FindWindowExA(parent, window, className, nullptr)) {
      PostMessageA(window, message, 0, 0);
      ++posted;
    }
  }
  std::printf("%d\n", posted);
  return posted;
}

int EndSession(bool closeApp) {
  HWND tray = WaitFor("Velmox.Tray", nullptr);
  if (!tray) return 1;
  const LPARAM reason = closeApp ? ENDSESSION_CLOSEAPP : 0;
  DWORD_PTR allowed = 0;
  if (!SendMessageTimeoutA(tray, WM_QUERYENDSESSION, 0, reason, SMTO_NORMAL, 10000, &allowed)) {
    return 1;
  }
  if (!allowed) {
    std::fprintf(stderr, "tray_poke: the session end was refused\n");
    return 1;
  }
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(tray, WM_ENDSESSION, TRUE, reason, SMTO_NORMAL, 10000, &ignored) ? 0
                                                                                              : 1;
}

int Run(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string command = argv[1];
  if (command == "tray") {
    HWND tray = WaitFor("Velmox.Tray", nullptr);
    if (!tray) return 1;
    for (int i = 2; i < argc; ++i) {
      PostMessageA(tray, WM_MOUSEMOVE, 1, std::atoi(argv[i]));
      Sleep(100);
    }
    return 0;
  }
  if (command == "taskbar-created") {
    HWND tray = WaitFor("Velmox.Tray", nullptr);
    if (!tray) return 1;
    PostMessageA(tray, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    return 0;
  }
  if (command == "menu" && argc == 3) {
    HWND menu = WaitFor("#32768", nullptr);
    if (!menu) return 1;
    const char key = argv[2][0];
    PostMessageA(menu, WM_KEYDOWN, VkKeyScanA(key) & 0xFF, 0);
    PostMessageA(menu, WM_CHAR, static_cast<WPARAM>(key), 0);
    return 0;
  }
  if (command == "answer" && argc == 4) {
    HWND box = WaitFor("#32770", argv[2]);
    if (!box) return 1;
    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
    return 0;
  }
  if (command == "next-tab") {
    HWND tabs = SettingsControl(1000);
    if (!tabs) return 1;
    PostMessageA(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    return 0;
  }
  if (command == "click" && argc == 3) {
    HWND control = SettingsControl(std::atoi(argv[2]));
    if (!control) return 1;
    PostMessageA(control, BM_CLICK, 0, 0);
    return 0;
  }
  if (command == "rect") {
    HWND dialog = WaitFor(nullptr, "Velmox Settings");
    RECT box{};
    if (!dialog || !GetWindowRect(dialog, &box)) return 1;
    std::printf("%ldx%ld+%ld+%ld\n", box.right - box.left, box.bottom - box.top, box.left, box.top);
    return 0;
  }
  if (command == "window" && argc == 3) {
    return FindWindowA(argv[2], nullptr) ? 0 : 1;
  }
  if (command == "close" && argc == 3) {
    return PostToAll(argv[2], WM_CLOSE) > 0 ? 0 : 1;
  }
  if (command == "end-session" && argc <= 3) {
    return EndSession(argc == 3 && std::strcmp(argv[2], "closeapp") == 0);
  }
  if (command == "quit") {
    HWND tray = WaitFor("Velmox.Tray", nullptr);
    return tray && PostMessageA(tray, WM_QUIT, 0, 0) ? 0 : 1;
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  return Run(argc, argv);
}
