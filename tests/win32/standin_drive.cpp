// The Wine tests' hand on the stand-in browser inside a running program: each argument is one
// command (see tests/win32/standin/driver.h), handed over in order.
//   standin_drive [--to PROGRAM.exe] COMMAND...     (default Velmox.exe)
// Waits up to ten seconds for the program's stand-in to be there; the exit status is 0 when
// every command was handed over.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  std::string program = "Velmox.exe";
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--to") == 0) {
    program = argv[2];
    first = 3;
  }
  HWND driver = nullptr;
  for (int tries = 0; tries < 200 && !driver; ++tries) {
    driver = FindWindowA("StandIn.Driver", program.c_str());
    if (!driver) Sleep(50);
  }
  if (!driver) {
    std::fprintf(stderr, "standin_drive: no stand-in browser in %s\n", program.c_str());
    return 1;
  }
  for (int i = first; i < argc; ++i) {
    COPYDATASTRUCT data{1, static_cast<DWORD>(std::strlen(argv[i])), argv[i]};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(driver, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                             10000, &result) ||
        !result) {
      std::fprintf(stderr, "standin_drive: '%s' was not taken\n", argv[i]);
      return 1;
    }
  }
  return 0;
}
