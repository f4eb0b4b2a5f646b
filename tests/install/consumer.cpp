// A host in C++ built against the installed library: one translation and one
// failure with its place.
#include <zrdll/zrcomp.h>
#include <iostream>

namespace {

class ignore_output : public zr::output_object {
 public:
  void writes(const std::string&) override {}
};

}  // namespace

int main() {
  zr::zrcomp engine;
  engine.give_write_method(std::make_shared<ignore_output>());
  std::optional<std::string> result = engine.translate(
      "\\\\schema main\n-r\n  _hello `Hi` 1 -e\n\\\\end schema\n\\\\end file\n", "hello");
  bool ok = result && *result == "\n\n\n\r\nHi";
  ok = ok && !engine.translate("no schema here", "hello");
  std::optional<zr::failure_location> where = engine.last_failure();
  ok = ok && where && zr::location_line(*where, "s.txt", "in.txt").starts_with("s.txt:1:1: error:");
  std::cout << (ok ? "c++ host ok" : "c++ host FAILED") << "\n";
  return ok ? 0 : 1;
}
