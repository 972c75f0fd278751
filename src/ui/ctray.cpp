#include "ui/ctray.h"

#include <cmath>

#include "core/failure.h"

namespace velmox {
namespace {

constexpr std::uint32_t kRecordSize = 88;  // the record's first version, 32-bit layout
constexpr std::uint32_t kIconId = 1;
constexpr std::uint32_t kFlags = kNotifyIconMessage | kNotifyIconIcon | kNotifyIconTip;

}  // namespace

CTray::CTray(TrayShell& shell) : shell_(shell) {
  record_.cbSize = kRecordSize;
  record_.uCallbackMessage = kCallbackMessage;
  record_.uFlags = kFlags;
  record_.uID = kIconId;
}

CTray::~CTray() {
  SkipOnFailure([&] { DeleteIcon(); });
  if (mPic_ != nullptr) mPic_->Change = nullptr;
}

void CTray::PicBox(PictureBox& box) {
  if (mPic_ != nullptr) mPic_->Change = nullptr;
  mPic_ = &box;
  box.Change = [this] { PictureChanged(); };
  record_.hWnd = box.WindowHandle();
  record_.hIcon = box.Handle();
}

void CTray::TipText(std::string_view text) {
  // The text, one NUL, then blanks to fill the field; a text of 64 or more is cut without NUL.
  record_.szTip.fill(' ');
  const std::size_t n = std::min(text.size(), record_.szTip.size());
  text.copy(record_.szTip.data(), n);
  if (n < record_.szTip.size()) record_.szTip[n] = '\0';
  shell_.Shell_NotifyIconA(NotifyIconMessage::Modify, record_);
}

std::string CTray::TipText() const {
  return std::string(record_.szTip.data(), record_.szTip.size());
}

bool CTray::ShowIcon() {
  if (mPic_ == nullptr) return false;
  shell_.Shell_NotifyIconA(NotifyIconMessage::Add, record_);
  return true;
}

void CTray::DeleteIcon() {
  shell_.Shell_NotifyIconA(NotifyIconMessage::Delete, record_);
}

void CTray::PictureChanged() {
  record_.hIcon = mPic_->Handle();
  shell_.Shell_NotifyIconA(NotifyIconMessage::Modify, record_);
}

void CTray::MouseMove(double xTwips, double twipsPerPixel) {
  if (!(twipsPerPixel > 0)) return;
  // Nearest whole number, a half going to the even neighbour.
  const double message = std::nearbyint(xTwips / twipsPerPixel);
  if (!(std::fabs(message) < 1e9)) return;
  Raise(static_cast<long>(message));
}

void CTray::CallbackMessage(std::uint32_t mouseMessage) {
  Raise(static_cast<long>(mouseMessage));
}

void CTray::Raise(long mouseMessage) {
  if (busy_) return;  // a message that arrives while a handler runs is dropped, not queued
  busy_ = true;
  struct ClearBusy {
    bool& flag;
    ~ClearBusy() { flag = false; }
  } clear{busy_};
  const std::function<void()>* event = nullptr;
  switch (mouseMessage) {
    case kRButtonDown:
      event = &events.RButtonDown;
      break;
    case kRButtonUp:
      event = &events.Rbuttonup;
      break;
    case kRButtonDblClick:
      event = &events.RButtonDblClick;
      break;
    case kLButtonDown:
      event = &events.Lbuttondown;
      break;
    case kLButtonUp:
      event = &events.LButtonUp;
      break;
    case kLButtonDblClick:
      event = &events.LButtonDblClick;
      break;
    default:
      break;
  }
  if (event != nullptr && *event) (*event)();
}

}  // namespace velmox
