#include "common/easylife.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

#include "common/errors.h"

namespace zr {

namespace {

[[noreturn]] void raise_not_closed(text_view source, char32_t closing) {
  text message = U"closing char =";
  message += closing;
  message += U"= is not found; text=`";
  message += source.substr(0, 5);
  message += U"` ... ";
  raise_engine_error(message);
}

}  // namespace

text quoted_text(text_view source, char32_t closing, std::size_t& end_position) {
  end_position = 0;
  if (source.empty() || source[0] != closing) return U"";
  if (source.find(closing, 1) == text_view::npos) raise_not_closed(source, closing);
  text result;
  std::size_t i = 1;  // 0-based index of position 2
  while (i < source.size()) {
    if (source[i] != closing) {
      result += source[i];
      ++i;
    } else if (i + 1 < source.size() && source[i + 1] == closing) {
      result += closing;
      i += 2;
    } else {
      end_position = i + 1;
      return result;
    }
  }
  // Every closing character after the first one was doubled.
  raise_not_closed(source, closing);
}

void bounded_increment(std::int16_t& counter, std::int16_t limit, text_view context) {
  if (counter < limit) {
    ++counter;
    return;
  }
  text message(context);
  message += text_crlf;
  message += U"subscript is over ";
  message += number_text(limit);
  message += U" ... ";
  raise_engine_error(message);
}

// The leftmost occurrence first, and the search goes on after it: the text
// between occurrences is copied in one piece.
text replace_all(text_view source, text_view find, text_view replacement) {
  if (find.empty()) return text(source);
  text out;
  out.reserve(source.size());
  std::size_t i = 0;
  for (std::size_t hit = source.find(find); hit != text_view::npos; hit = source.find(find, i)) {
    out.append(source.substr(i, hit - i));
    out.append(replacement);
    i = hit + find.size();
  }
  out.append(source.substr(i));
  return out;
}

text split_first(text_view source, char32_t separator, text& rest) {
  std::size_t p = source.find(separator);
  if (p == text_view::npos) {
    rest = text(source);
    return U"";
  }
  rest = text(source.substr(p + 1));
  return text(source.substr(0, p));
}

text real_text(double value, int digits) {
  if (value == 0) return U"0";  // also negative zero
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
  std::string s = buffer;
  // %G writes at least two exponent digits and drops trailing zeros already.
  return text(s.begin(), s.end());
}

text time_stamp(double seconds) {
  text written = real_text(static_cast<float>(seconds), 7);
  if (written.size() <= 3) return U"";
  std::string rest(written.begin() + 3, written.end());
  double shown = std::strtod(rest.c_str(), nullptr);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%05.2f", shown);
  std::string s = buffer;
  return text(s.begin(), s.end());
}

std::string_view stripped_result(std::string_view result) {
  constexpr std::string_view empty_header = "\n\n\n\r\n";
  return result.starts_with(empty_header) ? result.substr(empty_header.size()) : result;
}

std::string_view shown_result(std::string_view result) {
  return result == "\n\n\n" ? std::string_view() : stripped_result(result);
}

double seconds_since_midnight() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  double fraction = duration<double>(now.time_since_epoch()).count();
  fraction -= std::floor(fraction);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
}

text time_stamp() {
  return time_stamp(seconds_since_midnight());
}

}  // namespace zr
