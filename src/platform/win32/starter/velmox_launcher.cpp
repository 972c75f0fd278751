#include "platform/win32/starter/velmox_launcher.h"

#include "platform/win32/win_api.h"

#include "platform/win32/scoped_win.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {

void WinVelmoxLauncher::StartVelmox() {
  const std::string executable = folder_ + "\\Velmox.exe";
  std::string commandLine = "\"" + executable + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder_.c_str(), &startup, &started)) {
    ThrowLastError();
  }
  ScopedHandle process(started.hProcess);
  ScopedHandle thread(started.hThread);
}

}  // namespace velmox::win32
