#pragma once

#include <string>

namespace standin {

// What the stand-in saw, one line each, in the trace of the process it runs in (after Velmox's
// own lines there, in order): "StandIn: " and the line. Wine shows about 250 characters of a
// line at most, so a line stays short.
void Record(const std::string& line);

}  // namespace standin
