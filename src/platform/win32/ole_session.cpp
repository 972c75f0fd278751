#include "platform/win32/scoped_win.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {

OleSession::OleSession() {
  CheckHr(OleInitialize(nullptr));
}

OleSession::~OleSession() {
  OleUninitialize();
}

}  // namespace velmox::win32
