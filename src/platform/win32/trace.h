#pragma once

#include <string>

namespace velmox::win32 {

// One line of Velmox's trace through OutputDebugStringA: what the desktop did on the core's
// behalf (files renamed and written, settings stored, the icon sent to the shell, ...). A
// debugger shows it on Windows; the tests read it from Wine's debug channel.
void Trace(const std::string& line);

// Any program of the session can read the trace, and the command token is what keeps other pages
// from giving Velmox commands: a command page's name is traced without the token's digits.
std::string TracedPath(const std::string& path);

}  // namespace velmox::win32
