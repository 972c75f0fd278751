#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/desktop.h"
#include "browser/browser_table.h"
#include "browser/window_event_routing.h"
#include "core/app_state.h"
#include "engine/page_sinks.h"
#include "ui/ctray.h"
#include "ui/picture_box.h"

namespace velmox {

// What the hidden main form asks of the application that owns it.
struct MainFormHooks {
  std::function<void()> showSettingsDialog;    // show modeless, or bring to the front
  std::function<void()> unloadSettingsDialog;  // nothing happens when it is not loaded
  std::function<void()> unloadMainForm;
};

// `Velmox`, the hidden main form: owns the tray icon, the timers and the menu for the whole run,
// and holds the on/off switch.
class Velmox {
 public:
  static constexpr int kTimer1Interval = 2000;  // address bar
  static constexpr int kTimer2Interval = 3000;  // end of the alert picture

  Velmox(Desktop& desktop, AppState& state, MainFormHooks hooks);
  ~Velmox();
  Velmox(const Velmox&) = delete;
  Velmox& operator=(const Velmox&) = delete;

  void Form_Load();
  void Form_Unload();
  void SetUp();
  void OnOff();
  void UpdateTipText();
  void UpdateMenus();

  void TrayIcon_LButtonDblClick();
  void TrayIcon_Lbuttondown();
  void TrayIcon_RButtonDown();
  void TrayIcon_Rbuttonup();
  void TrayIcon_Lbuttonup();

  void MnuOptions_Click();
  void MnuTurn_Click();
  void MnuClose_Click();

  void Timer1_Timer();
  void DoAlert();
  void Timer2_Timer();

  CTray& TrayIcon() { return *TrayIcon_; }
  const PictureBox& Picture1() const { return Picture1_; }
  const PopupMenuModel& PopMenu() const { return PopMenu_; }
  bool Timer1Enabled() const { return Timer1_ && Timer1_->Enabled(); }
  bool Timer2Enabled() const { return Timer2_ && Timer2_->Enabled(); }
  // Null when the sinks could not be created.
  PageSinks* PageSink() { return PageSink_.get(); }
  // The 40 slots and the shell's window collection; null when they could not be made.
  BrowserTable* Browsers() { return table_.get(); }
  // How many pop-ups this run has announced.
  int AlertCount() const { return alertCount_; }

 private:
  std::string FilePath(const char* name) const;
  void ConnectTrayEvents();

  Desktop& desktop_;
  AppState& state_;
  MainFormHooks hooks_;
  PictureBox Picture1_;
  std::unique_ptr<CTray> TrayIcon_;
  std::unique_ptr<Timer> Timer1_;
  std::unique_ptr<Timer> Timer2_;
  PopupMenuModel PopMenu_;
  bool RightPressed_ = false;
  // Set by the unload: nothing of the form acts after it.
  bool unloaded_ = false;
  int alertCount_ = 0;
  std::unique_ptr<PageSinks> PageSink_;
  std::unique_ptr<WindowEventRouting> routing_;
  std::unique_ptr<BrowserTable> table_;
};

}  // namespace velmox
