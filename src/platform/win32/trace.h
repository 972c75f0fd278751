#pragma once

#include <string>

namespace velmox::win32 {

// One line of Velmox's trace through OutputDebugStringA: what the desktop did on the core's
// behalf (files renamed and written, settings stored, the icon sent to the shell, ...). A
// debugger shows it on Windows; the tests read it from Wine's debug channel.
void Trace(const std::string& line);

}  // namespace velmox::win32
