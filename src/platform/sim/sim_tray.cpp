#include "platform/sim/sim_tray.h"

#include <cstring>

namespace velmox::sim {
namespace {

std::string TipOf(const NotifyIconData& data) {
  const char* begin = data.szTip.data();
  const void* nul = std::memchr(begin, '\0', data.szTip.size());
  const std::size_t length = nul != nullptr
                                 ? static_cast<std::size_t>(static_cast<const char*>(nul) - begin)
                                 : data.szTip.size();
  return std::string(begin, length);
}

std::optional<BulbPicture> PictureOf(std::uintptr_t handle) {
  for (BulbPicture p : {BulbPicture::On, BulbPicture::Off, BulbPicture::Alert}) {
    if (handle == 0x100 + static_cast<std::uintptr_t>(p)) return p;
  }
  return std::nullopt;
}

}  // namespace

const char* PictureName(BulbPicture picture) {
  switch (picture) {
    case BulbPicture::On:
      return "on";
    case BulbPicture::Off:
      return "off";
    case BulbPicture::Alert:
      return "alert";
  }
  return "?";
}

std::uintptr_t SimTray::PictureHandle(BulbPicture picture) {
  return 0x100 + static_cast<std::uintptr_t>(picture);
}

bool SimTray::Shell_NotifyIconA(NotifyIconMessage message, const NotifyIconData& data) {
  lastRecord_ = data;
  const auto picture = PictureOf(data.hIcon);
  const std::string tip = TipOf(data);
  switch (message) {
    case NotifyIconMessage::Add:
      if (shown_ || !picture || data.hWnd == 0) return false;
      shown_ = true;
      picture_ = *picture;
      tip_ = tip;
      trace_.Line("tray", std::string("icon added, ") + PictureName(picture_) + " picture, tip " +
                              Quoted(tip_));
      return true;
    case NotifyIconMessage::Modify:
      if (!shown_) return false;
      if (picture && *picture != picture_) {
        picture_ = *picture;
        trace_.Line("tray", std::string("icon shows the ") + PictureName(picture_) + " picture");
      }
      if (tip != tip_) {
        tip_ = tip;
        trace_.Line("tray", "tip " + Quoted(tip_));
      }
      return true;
    case NotifyIconMessage::Delete:
      if (!shown_) return false;
      shown_ = false;
      trace_.Line("tray", "icon removed");
      return true;
  }
  return false;
}

bool SimTray::SetForegroundWindow(std::uintptr_t) {
  return true;
}

int SimTray::TrackPopupMenu(const PopupMenuModel& menu) {
  std::string shown;
  for (std::size_t i = 0; i < menu.items.size(); ++i) {
    if (i != 0) shown += ", ";
    shown += Quoted(menu.items[i]);
    if (static_cast<int>(i) == menu.defaultItem) shown += " (default)";
  }
  trace_.Line("tray", "menu opens: " + shown);
  openMenu_ = menu;
  lastMenu_ = menu;
  int chosen = -1;
  try {
    if (answerMenu) chosen = answerMenu(menu);
  } catch (...) {
    openMenu_.reset();
    throw;
  }
  openMenu_.reset();
  if (chosen < 0 || chosen >= static_cast<int>(menu.items.size()) || menu.items[chosen] == "-") {
    trace_.Line("tray", "menu dismissed");
    return -1;
  }
  trace_.Line("tray", "menu item chosen: " + Quoted(menu.items[chosen]));
  return chosen;
}

}  // namespace velmox::sim
