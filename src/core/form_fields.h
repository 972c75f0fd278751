#pragma once

#include <string_view>

namespace velmox {

// The input types in which Enter submits the form the field is in (`type` in lower case).
inline bool SubmitsOnEnter(std::string_view inputType) {
  constexpr std::string_view kTypes[] = {"text",  "search",   "url",    "tel",
                                         "email", "password", "number", "date",
                                         "month", "week",     "time",   "datetime-local"};
  for (std::string_view type : kTypes) {
    if (inputType == type) return true;
  }
  return false;
}

}  // namespace velmox
