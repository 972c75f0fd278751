#include "platform/win32/new_window_gate.h"

namespace velmox::win32 {

std::optional<NewWindowGate::Answer> NewWindowGate::TakeRepeated(const void* source, Kind kind,
                                                                 IDispatch* ppDisp) {
  const auto found = last_.find(source);
  if (found == last_.end()) return std::nullopt;
  Last last = std::move(found->second);
  last_.erase(found);
  const IDispatch* answered = last.answer.ppDisp.Get();
  if (last.kind == kind || (ppDisp != nullptr && ppDisp != answered)) return std::nullopt;
  return std::move(last.answer);
}

void NewWindowGate::Record(const void* source, Kind kind, IDispatch* ppDisp, bool cancel) {
  last_[source] = Last{kind, Answer{ComPtr<IDispatch>::Borrow(ppDisp), cancel}};
}

}  // namespace velmox::win32
