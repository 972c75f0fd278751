#include "record.h"

#include <windows.h>

namespace standin {

void Record(const std::string& line) {
  OutputDebugStringA(("StandIn: " + line + "\n").c_str());
}

}  // namespace standin
