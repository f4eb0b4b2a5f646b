// The UTF-8 byte-order mark some editors put at the start of a file. It is
// not part of the text: hosts remove it before handing a file to the engine.
#pragma once

#include <string>

namespace zr {

// Removes a UTF-8 byte-order mark (EF BB BF) from the start of `bytes`;
// true when there was one.
bool remove_byte_order_mark(std::string& bytes);

}  // namespace zr
