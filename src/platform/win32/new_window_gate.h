#pragma once

#include "platform/win32/win_api.h"

#include <oaidl.h>

#include <map>
#include <optional>

#include "platform/win32/scoped_win.h"

namespace velmox::win32 {

// Which browsers raise NewWindow2, NewWindow3 or both for one request, and in which order, is
// not documented consistently; and a browser in another process raises the second of the two
// only after Velmox has gone back to its message loop. Velmox's handler must see each request
// once. The two events of one request come from the same window one right after the other,
// the second with the first's answer in ppDisp when the browser passes the request's own
// variables on. So the answer to a window's event is kept for that window, and the other event
// that comes next from it, with ppDisp empty or holding that answer, is the same request and
// gets the same answer. A second event of the same kind, one whose ppDisp holds something else,
// or any other event of the window starts anew.
class NewWindowGate {
 public:
  enum class Kind { NewWindow2, NewWindow3 };
  struct Answer {
    ComPtr<IDispatch> ppDisp;
    bool cancel = false;
  };

  // The answer to replay when `source`'s event of `kind`, arriving with `ppDisp`, is the other
  // event of the request answered last; taken once.
  std::optional<Answer> TakeRepeated(const void* source, Kind kind, IDispatch* ppDisp);
  // Remembers the answer to `source`'s event of `kind` (`ppDisp` borrowed), replacing what was
  // kept for it.
  void Record(const void* source, Kind kind, IDispatch* ppDisp, bool cancel);
  // Something else happened in `source`, or it has gone: nothing is kept for it.
  void Forget(const void* source) { last_.erase(source); }

 private:
  struct Last {
    Kind kind;
    Answer answer;
  };
  std::map<const void*, Last> last_;
};

}  // namespace velmox::win32
