#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/desktop_services.h"
#include "platform/sim/sim_trace.h"

namespace velmox::sim {

// The notification area of the simulated desktop: shows at most the one icon of Velmox.
class SimTray : public TrayShell {
 public:
  static constexpr std::uintptr_t kCallbackWindow = 0x5000;

  explicit SimTray(Trace& trace) : trace_(trace) {}

  bool Shown() const { return shown_; }
  BulbPicture Picture() const { return picture_; }
  const std::string& Tip() const { return tip_; }
  const NotifyIconData& LastRecord() const { return lastRecord_; }
  // The menu while it is open (inside TrackPopupMenu), else nullopt.
  const std::optional<PopupMenuModel>& OpenMenu() const { return openMenu_; }
  const std::optional<PopupMenuModel>& LastMenu() const { return lastMenu_; }

  // Answers a shown menu: the chosen index, or -1 to dismiss it. Runs while the menu is open.
  std::function<int(const PopupMenuModel&)> answerMenu;

  std::uintptr_t CallbackWindow() override { return kCallbackWindow; }
  std::uintptr_t PictureHandle(BulbPicture picture) override;
  bool Shell_NotifyIconA(NotifyIconMessage message, const NotifyIconData& data) override;
  bool SetForegroundWindow(std::uintptr_t window) override;
  int TrackPopupMenu(const PopupMenuModel& menu) override;

 private:
  Trace& trace_;
  bool shown_ = false;
  BulbPicture picture_ = BulbPicture::On;
  std::string tip_;
  NotifyIconData lastRecord_;
  std::optional<PopupMenuModel> openMenu_;
  std::optional<PopupMenuModel> lastMenu_;
};

const char* PictureName(BulbPicture picture);

}  // namespace velmox::sim
