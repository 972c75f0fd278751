#pragma once

#include <cstdint>
#include <functional>

#include "core/desktop_services.h"

namespace velmox {

// The hidden picture box behind the tray icon: it holds the current bulb picture, its window
// receives the tray callback, and replacing its picture raises Change.
class PictureBox {
 public:
  PictureBox(TrayShell& shell, BulbPicture picture) : shell_(shell), picture_(picture) {}

  BulbPicture Picture() const { return picture_; }
  void SetPicture(BulbPicture picture) {
    picture_ = picture;
    if (Change) Change();
  }
  std::uintptr_t Handle() const { return shell_.PictureHandle(picture_); }
  std::uintptr_t WindowHandle() const { return shell_.CallbackWindow(); }

  std::function<void()> Change;

 private:
  TrayShell& shell_;
  BulbPicture picture_;
};

}  // namespace velmox
