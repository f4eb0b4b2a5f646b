// Golden files of the form constructor's tests: table texts and debug
// listings under engine/testdata/form, compared byte for byte (CR LF and the
// drop-down lists' bare LF included).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace zr {

inline std::string form_golden_path(const std::string& name) {
  return std::string(ZR_SOURCE_DIR) + "/engine/testdata/form/" + name;
}

// Compares `actual` with the golden file `name`. With ZR_UPDATE_GOLDEN set
// the file is rewritten instead: review the difference before committing.
inline void expect_golden(const std::string& name, const std::string& actual) {
  if (std::getenv("ZR_UPDATE_GOLDEN")) {
    std::ofstream(form_golden_path(name), std::ios::binary) << actual;
    return;
  }
  std::ifstream in(form_golden_path(name), std::ios::binary);
  std::ostringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(expected.str(), actual) << "golden file " << name;
}

}  // namespace zr
