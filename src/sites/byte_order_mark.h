#pragma once

#include <string>
#include <string_view>

namespace velmox {

// A text file as a hand editor may have saved it: behind a UTF-8 byte-order mark the bytes are
// taken as they are; behind a UTF-16 one (little or big endian) the characters are given as
// UTF-8, with "?" for a lone half of a surrogate pair and for an odd last byte. Without a mark
// the bytes are returned unchanged.
std::string TextBehindByteOrderMark(std::string_view bytes);

}  // namespace velmox
