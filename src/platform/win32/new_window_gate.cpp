#include "platform/win32/new_window_gate.h"

namespace velmox::win32 {
namespace {
constexpr UINT kForget = WM_APP + 1;
}

NewWindowGate::NewWindowGate()
    : window_("Velmox.NewWindowGate", [this](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != kForget) return false;
        Forget();
        result = 0;
        return true;
      }) {}

std::optional<NewWindowGate::Answer> NewWindowGate::TakeRepeated(const void* source, Kind kind) {
  if (!last_ || last_->source != source || last_->kind == kind) return std::nullopt;
  const Answer answer = last_->answer;
  last_.reset();
  return answer;
}

void NewWindowGate::Record(const void* source, Kind kind, Answer answer) {
  last_ = Last{source, kind, answer};
  PostMessageA(window_.Get(), kForget, 0, 0);
}

}  // namespace velmox::win32
