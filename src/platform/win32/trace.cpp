#include "platform/win32/trace.h"

#include "platform/win32/win_api.h"

namespace velmox::win32 {

void Trace(const std::string& line) {
  OutputDebugStringA(("Velmox: " + line + "\n").c_str());
}

std::string TracedPath(const std::string& path) {
  // "b" or "t", the ten digits, ".html": the name CreateHTML gives a command page.
  const std::size_t name = path.find_last_of("\\/") + 1;
  const bool commandPage = path.size() - name == 16 && (path[name] == 'b' || path[name] == 't') &&
                           path.compare(name + 11, 5, ".html") == 0;
  if (!commandPage) return path;
  std::string traced = path;
  traced.replace(name + 1, 10, 10, '#');
  return traced;
}

}  // namespace velmox::win32
