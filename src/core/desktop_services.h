#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/notify_icon.h"

// The small platform services of the core, one interface each. Every call may throw
// PlatformError. Identifiers that are Win32 macros (MessageBox, PlaySound, ShellExecute, ...)
// are avoided on purpose: the Windows desktop includes these headers beside <windows.h>.
namespace velmox {

// A timer fires `onTick` every interval while enabled. The simulated desktop fires it from its
// virtual clock; ticks are delivered on the user-interface thread, between other events.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

class Timers {
 public:
  virtual ~Timers() = default;
  // The timer starts disabled.
  virtual std::unique_ptr<Timer> CreateTimer(int intervalMs, std::function<void()> onTick) = 0;
};

// The three light-bulb pictures.
enum class BulbPicture { On, Off, Alert };

// A pop-up menu: captions in order ("-" is a separator line) and the default (bold) item.
struct PopupMenuModel {
  std::string caption;
  std::vector<std::string> items;
  int defaultItem = -1;
};

// The notification area and the hidden window that receives its callback message.
class TrayShell {
 public:
  virtual ~TrayShell() = default;
  // Handle of the hidden window that receives the tray callback (the picture box's window).
  virtual std::uintptr_t CallbackWindow() = 0;
  virtual std::uintptr_t PictureHandle(BulbPicture picture) = 0;
  virtual bool Shell_NotifyIconA(NotifyIconMessage message, const NotifyIconData& data) = 0;
  virtual bool SetForegroundWindow(std::uintptr_t window) = 0;
  // Shows the menu at the mouse position and returns when it has closed: the chosen item's
  // index, or -1 when it was dismissed. Runs a nested message loop meanwhile.
  virtual int TrackPopupMenu(const PopupMenuModel& menu) = 0;
};

class Sound {
 public:
  virtual ~Sound() = default;
  static constexpr unsigned kAsync = 1;      // SND_ASYNC
  static constexpr unsigned kNoDefault = 2;  // SND_NODEFAULT
  virtual bool sndPlaySoundA(const std::string& name, unsigned flags) = 0;
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A style is one set of buttons plus one icon.
  static constexpr unsigned kOk = 0;                // MB_OK
  static constexpr unsigned kOkCancel = 1;          // MB_OKCANCEL
  static constexpr unsigned kYesNoCancel = 3;       // MB_YESNOCANCEL
  static constexpr unsigned kYesNo = 4;             // MB_YESNO
  static constexpr unsigned kButtonsMask = 0xF;     // MB_TYPEMASK
  static constexpr unsigned kIconStop = 16;         // MB_ICONHAND, the critical stop
  static constexpr unsigned kIconExclamation = 48;  // MB_ICONEXCLAMATION
  // The answers.
  static constexpr int kIdOk = 1;      // IDOK
  static constexpr int kIdCancel = 2;  // IDCANCEL
  static constexpr int kIdYes = 6;     // IDYES
  static constexpr int kIdNo = 7;      // IDNO
  // Modal: returns the button the user chose (kIdOk, kIdYes, kIdNo, ...).
  virtual int MessageBoxA(std::uintptr_t owner, const std::string& text, const std::string& title,
                          unsigned style) = 0;
};

class ShellLauncher {
 public:
  virtual ~ShellLauncher() = default;
  static constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
  virtual void ShellExecuteA(std::uintptr_t window, const std::string& verb,
                             const std::string& target, const std::string& parameters,
                             const std::string& directory, int showCommand) = 0;
};

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  static constexpr int kVkControl = 17;  // VK_CONTROL
  // Physical key state: the top bit while the key is down, the low bit when it was pressed
  // since the last call.
  static constexpr std::uint16_t kKeyDown = 0x8000;
  static constexpr std::uint16_t kPressedSinceLastCall = 0x0001;
  virtual std::uint16_t GetAsyncKeyState(int virtualKey) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Time of day in seconds since midnight, with fractions.
  virtual double SecondsSinceMidnight() = 0;
};

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // Uniform in [0, 1), from an unpredictable source.
  virtual double NextUniform() = 0;
};

class Process {
 public:
  virtual ~Process() = default;
  // Ends Velmox at once, without any unload step.
  virtual void EndNow() = 0;
};

}  // namespace velmox

namespace velmox {

// Recognises another running copy of Velmox for the same user.
class SingleInstance {
 public:
  virtual ~SingleInstance() = default;
  // True when another instance already runs; otherwise this process becomes the instance.
  virtual bool AnotherInstanceRunning() = 0;
};

}  // namespace velmox
