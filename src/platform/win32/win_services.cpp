#include "platform/win32/win_services.h"

#include "platform/win32/win_api.h"

#include <bcrypt.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <vector>

#include "platform/win32/local_path.h"
#include "platform/win32/trace.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {

bool WinSound::sndPlaySoundA(const std::string& name, unsigned flags) {
  static_assert(kAsync == SND_ASYNC && kNoDefault == SND_NODEFAULT);
  Trace("sndPlaySoundA " + name);
  return ::sndPlaySoundA(name.c_str(), flags) != FALSE;
}

int WinMessageBoxes::MessageBoxA(std::uintptr_t owner, const std::string& text,
                                 const std::string& title, unsigned style) {
  static_assert(kOk == MB_OK && kOkCancel == MB_OKCANCEL && kYesNoCancel == MB_YESNOCANCEL &&
                kYesNo == MB_YESNO && kButtonsMask == MB_TYPEMASK && kIconStop == MB_ICONHAND &&
                kIconExclamation == MB_ICONEXCLAMATION);
  static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL && kIdYes == IDYES && kIdNo == IDNO);
  Trace("MessageBoxA " + title + ": " + text);
  const int answer =
      ::MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), title.c_str(), style);
  if (answer == 0) ThrowLastError();
  Trace("MessageBoxA answered " + std::to_string(answer));
  return answer;
}

void WinShellLauncher::ShellExecuteA(std::uintptr_t window, const std::string& verb,
                                     const std::string& target, const std::string& parameters,
                                     const std::string& directory, int showCommand) {
  static_assert(kShowNormal == SW_SHOWNORMAL);
  Trace("ShellExecuteA " + verb + " " + target);
  ::ShellExecuteA(reinterpret_cast<HWND>(window), verb.c_str(), target.c_str(),
                  parameters.empty() ? nullptr : parameters.c_str(),
                  directory.empty() ? nullptr : directory.c_str(), showCommand);
}

std::uint16_t WinKeyboard::GetAsyncKeyState(int virtualKey) {
  static_assert(kVkControl == VK_CONTROL);
  return static_cast<std::uint16_t>(::GetAsyncKeyState(virtualKey));
}

double WinClock::SecondsSinceMidnight() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

double WinRandom::NextUniform() {
  unsigned long long bits = 0;
  const NTSTATUS status = BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&bits), sizeof bits,
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  if (status < 0) ThrowError(status);
  // The top 53 bits make a double in [0, 1) with every value equally likely.
  return static_cast<double>(bits >> 11) * (1.0 / 9007199254740992.0);
}

void WinProcess::EndNow() {
  Trace("EndNow");
  ExitProcess(0);
}

bool WinSingleInstance::AnotherInstanceRunning() {
  mutex_.Reset(CreateMutexA(nullptr, FALSE, name_.c_str()));
  const DWORD error = GetLastError();
  // Access is denied when the mutex exists and belongs to a more privileged copy.
  if (!mutex_.Valid() && error != ERROR_ACCESS_DENIED) ThrowError(static_cast<long>(error));
  const bool running = !mutex_.Valid() || error == ERROR_ALREADY_EXISTS;
  if (running) mutex_.Reset();
  Trace(running ? "Another instance is running" : "First instance");
  return running;
}

std::string ExecutableFolder() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) ThrowLastError();
    if (length < path.size()) {
      const std::wstring file(path.data(), length);
      return AnsiFolder(file.substr(0, file.find_last_of(L'\\')));
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace velmox::win32
