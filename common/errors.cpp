#include "common/errors.h"

#include <new>
#include <stdexcept>
#include <utility>

namespace zr {

text platform_error_description(int number) {
  switch (number) {
    case error_number::invalid_argument:
      return U"Invalid procedure call or argument";
    case error_number::overflow:
      return U"Overflow";
    case error_number::out_of_memory:
      return U"Out of memory";
    case error_number::index_range:
      return U"Subscript out of range";
    case error_number::division_by_zero:
      return U"Division by zero";
    case error_number::type_mismatch:
      return U"Type mismatch";
    case error_number::internal:
      return U"Internal error";
    case error_number::file_not_found:
      return U"File not found";
    case error_number::file_io:
      return U"Device I/O error";
    case error_number::disk_full:
      return U"Disk full";
    case error_number::permission_denied:
      return U"Permission denied";
    case error_number::path_access:
      return U"Path/File access error";
    case error_number::path_not_found:
      return U"Path not found";
    case error_number::missing_object:
      return U"Object variable not set";
    default:
      return U"Application-defined or object-defined error";
  }
}

engine_error::engine_error(int number, text description)
    : number_(number), description_(std::move(description)), utf8_(to_utf8(description_)) {}

engine_error engine_error::with_context(text_view context) const {
  text extended = description_;
  extended += U"\r\n";
  extended += context;
  return engine_error(number_, std::move(extended));
}

void raise_engine_error(text description) {
  throw engine_error(error_number::engine, std::move(description));
}

void raise_error(text description, int number) {
  throw engine_error(number, std::move(description));
}

void raise_platform_error(int number) {
  throw engine_error(number, platform_error_description(number));
}

engine_error current_error() {
  auto platform = [](int number) {
    return engine_error(number, platform_error_description(number));
  };
  try {
    throw;
  } catch (const engine_error& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return platform(error_number::out_of_memory);
  } catch (const std::out_of_range&) {
    return platform(error_number::index_range);
  } catch (const std::overflow_error&) {
    return platform(error_number::overflow);
  } catch (const std::invalid_argument&) {
    return platform(error_number::invalid_argument);
  } catch (const std::exception& e) {
    return engine_error(error_number::internal, from_utf8(e.what()));
  } catch (...) {
    return platform(error_number::internal);
  }
}

void raise_with_context(text_view context) {
  throw current_error().with_context(context);
}

}  // namespace zr
