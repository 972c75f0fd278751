#pragma once

#include "platform/win32/win_api.h"

#include <oaidl.h>

#include <optional>

#include "platform/win32/message_window.h"

namespace velmox::win32 {

// Which browsers raise NewWindow2, NewWindow3 or both for one request, and in which order, is
// not documented consistently. Velmox's handler must see each request once, so the first of the
// two events asks it and the other, raised for the same request before the browser returns to
// the message loop, is answered with the same ppDisp and Cancel.
class NewWindowGate {
 public:
  enum class Kind { NewWindow2, NewWindow3 };
  struct Answer {
    IDispatch* ppDisp;  // borrowed; the sink that recorded it still holds the object
    bool cancel;
  };

  NewWindowGate();

  // The answer to replay when `source` raised the other event for this request; taken once.
  std::optional<Answer> TakeRepeated(const void* source, Kind kind);
  // Remembers the answer until the browser is back in the message loop.
  void Record(const void* source, Kind kind, Answer answer);
  void Forget() { last_.reset(); }

 private:
  struct Last {
    const void* source;
    Kind kind;
    Answer answer;
  };
  std::optional<Last> last_;
  MessageWindow window_;
};

}  // namespace velmox::win32
