#include "engine/value_text.h"

#include "common/growth.h"

namespace zr {

text& value_text::wide() {
  if (!in_bytes_) return wide_;
  append_utf8(bytes_, wide_);
  std::string().swap(bytes_);
  in_bytes_ = false;
  return wide_;
}

void value_text::assign(text_view value) {
  wide_.assign(value);
  if (!in_bytes_) return;
  std::string().swap(bytes_);
  in_bytes_ = false;
}

// The bytes of ASCII text are its UTF-8, and decode to the same characters.
void value_text::append_long(text_view more) {
  if (in_bytes_) {
    if (is_ascii(more)) {
      append_as_utf8(more, bytes_);
      return;
    }
    wide();  // text outside ASCII: the value stays text from now on
  }
  const bool was_short = wide_.size() < bytes_from;
  append_growing(wide_, more);
  if (was_short && wide_.size() >= bytes_from) to_bytes();
}

void value_text::append(std::string_view ascii) {
  if (in_bytes_) {
    append_growing(bytes_, ascii);
    return;
  }
  const bool was_short = wide_.size() < bytes_from;
  append_utf8(ascii, wide_);
  if (was_short && wide_.size() >= bytes_from) to_bytes();
}

void value_text::to_bytes() {
  if (!is_ascii(wide_)) return;
  append_as_utf8(wide_, bytes_);
  text().swap(wide_);
  in_bytes_ = true;
}

}  // namespace zr
