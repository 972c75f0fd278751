#include "platform/win32/trace.h"

#include "platform/win32/win_api.h"

namespace velmox::win32 {

void Trace(const std::string& line) {
  OutputDebugStringA(("Velmox: " + line + "\n").c_str());
}

}  // namespace velmox::win32
