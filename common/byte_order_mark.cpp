#include "common/byte_order_mark.h"

namespace zr {

bool remove_byte_order_mark(std::string& bytes) {
  if (!bytes.starts_with("\xEF\xBB\xBF")) return false;
  bytes.erase(0, 3);
  return true;
}

}  // namespace zr
