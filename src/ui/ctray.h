#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/desktop_services.h"
#include "core/notify_icon.h"
#include "ui/picture_box.h"

namespace velmox {

// Owns the one icon in the notification area: adds, modifies and removes it, keeps its tip text,
// follows the picture box's picture, and turns the shell's mouse messages into events.
class CTray {
 public:
  // The picture box's own mouse move receives the icon's mouse messages.
  static constexpr std::uint32_t kCallbackMessage = kMouseMove;

  // The six events; the owner connects the ones it handles.
  struct Events {
    std::function<void()> RButtonDown, Rbuttonup, RButtonDblClick;
    std::function<void()> Lbuttondown, LButtonUp, LButtonDblClick;
  };

  explicit CTray(TrayShell& shell);
  ~CTray();
  CTray(const CTray&) = delete;
  CTray& operator=(const CTray&) = delete;

  Events events;

  void PicBox(PictureBox& box);
  void TipText(std::string_view text);
  std::string TipText() const;  // the 64-byte field exactly as stored
  bool ShowIcon();
  void DeleteIcon();

  // The picture box's mouse move: `xTwips` is the shell's mouse message taken as a pixel
  // position, in twips.
  void MouseMove(double xTwips, double twipsPerPixel);
  // The callback read straight from the message's lParam, as a hidden window's procedure does.
  void CallbackMessage(std::uint32_t mouseMessage);

  const NotifyIconData& Record() const { return record_; }
  bool Busy() const { return busy_; }

 private:
  void PictureChanged();
  void Raise(long mouseMessage);

  TrayShell& shell_;
  NotifyIconData record_;
  PictureBox* mPic_ = nullptr;
  bool busy_ = false;
};

}  // namespace velmox
