// Simple (one code point to one) Unicode case mappings from a table generated
// from UnicodeData.txt by scripts/gen-case-table.py. The WebAssembly build,
// which has no ICU, cases characters through it; the native build uses ICU
// and tests the table against it.
#pragma once

namespace zr {

// The simple lower-case mapping of `c`; `c` itself when it has none.
char32_t table_lower(char32_t c);
// The simple upper-case mapping of `c`; `c` itself when it has none.
char32_t table_upper(char32_t c);

}  // namespace zr
