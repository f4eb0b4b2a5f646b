# Short commands for the usual work. Every target installs what is missing first.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
# Debian's python3, whose setuptools, venv and pip the wheel is built and
# installed with.
PYTHON ?= /usr/bin/python3

.PHONY: all deps build test gui demo bench deb wheel test-packages format clean fuzz test-sanitize \
  test-tsan web web-serve test-web bench-web wasm-vs-native

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j2

# Translates the bundled example script into C and prints it.
demo: build
	$(BUILD)/cli/zrtranslate example/vbs_c/s.txt example/vbs_c/reallife.inc

# The desktop program on the bundled example. Its preferences ("prefer.txt")
# and its folder "d" (console log, result, status) live in the source tree.
gui: build
	ZORVEX_HOME=$(CURDIR) $(BUILD)/frontend/qt/zorvex example/vbs_c/s.txt example/vbs_c/reallife.inc

# Benchmarks build apart from the tests, optimised: translate_bench (Google
# Benchmark) times whole translations in the process; run_workloads.py times
# zrtranslate on generated workloads of BENCH_SIZES megabytes against a flex
# scanner doing the same translation (see bench/README.md).
BENCH_SIZES ?= 2 20 100
bench:
	@scripts/install-deps.sh bench
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZR_BENCH=ON
	cmake --build build-bench -j 2 --target translate_bench zrtranslate window_bench
	build-bench/bench/translate_bench
	python3 bench/run_workloads.py build-bench/cli/zrtranslate build-bench/workloads $(BENCH_SIZES)
	build-bench/bench/window_bench build-bench/cli/zrtranslate example/vbs_c 2000 $${BENCH_RUNS:-3}
	@if [ -f build-web/cmake/cli/zrtranslate.js ]; then $(MAKE) --no-print-directory wasm-vs-native; \
	  else echo "bench: no WebAssembly build; make bench-web times it against the native one"; fi

# The WebAssembly zrtranslate (make web) against the native one on the
# program workload (bench/README.md).
WEB_BENCH_SIZES ?= 2
bench-web: web
	@scripts/install-deps.sh bench
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZR_BENCH=ON
	cmake --build build-bench -j 2 --target zrtranslate
	$(MAKE) --no-print-directory wasm-vs-native

wasm-vs-native:
	python3 bench/wasm_vs_native.py build-bench/cli/zrtranslate build-web/cmake/cli/zrtranslate.js \
	  build-web/cmake/web \
	  build-bench/workloads $(WEB_BENCH_SIZES)

# The Debian packages (debian/): dpkg-buildpackage builds them in a copy of
# the tree under build-deb/ (its results land beside the copy, not beside the
# checkout), skipping the tests that make test runs; the packages go to
# dist/deb/, and lintian must find no error and no warning in them.
DEB_TREE := build-deb/zorvex
deb: deps
	@scripts/install-deps.sh packages
	rm -rf build-deb && mkdir -p $(DEB_TREE)
	git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -xf - -C $(DEB_TREE)
	cd $(DEB_TREE) && DEB_BUILD_OPTIONS="nocheck noautodbgsym parallel=2" dpkg-buildpackage -us -uc -b -Pnocheck
	rm -rf dist/deb && mkdir -p dist/deb
	cp build-deb/*.deb dist/deb/
	lintian -I --fail-on error,warning dist/deb/*.deb
	@ls dist/deb

# The Python wheel (python/pyproject.toml): the module with its own copy of
# the library, built by the project's CMake in build-wheel/.
wheel: deps
	@scripts/install-deps.sh packages
	$(PYTHON) -m pip wheel --no-build-isolation --no-deps -w dist/ python/

# Installs the Debian packages and the wheel and uses them as a user would.
test-packages: deb
	PYTHON=$(PYTHON) scripts/check-packages.sh

# Every test under the address and undefined-behaviour sanitizers, in a build
# folder of its own. Any report fails the test that made it.
test-sanitize: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR_SANITIZE=ON
	cmake --build build-asan --parallel 2
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --test-dir build-asan --output-on-failure -j2

# The engine's tests, those that translate on several threads at once among
# them, under the thread sanitizer.
test-tsan: deps
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZR_TSAN=ON
	cmake --build build-tsan --parallel 2 --target engine_tests
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 build-tsan/engine/engine_tests

# The fuzz targets (clang, libFuzzer, address and undefined-behaviour
# sanitizers), each run FUZZ_SECONDS on its corpus; see fuzz/README.md.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := translate schema action form options frontend
fuzz:
	@scripts/install-deps.sh fuzz
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DZR_FUZZ=ON -DZR_SANITIZE=ON
	cmake --build build-fuzz --parallel 2 --target $(FUZZ_TARGETS:%=%_fuzz)
	fuzz/run-fuzz.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# The browser playground (web/README.md): the engine built to WebAssembly by
# emscripten (build-web/cmake), the page bundled by esbuild into
# build-web/site. The page's packages come from web/package-lock.json.
# Emscripten's tools load Debian's acorn, which Debian's node finds by itself
# and another node only through NODE_PATH.
WEB_SITE := build-web/site
web:
	@scripts/install-deps.sh web
	python3 scripts/gen-case-table.py --check
	emcmake cmake -S . -B build-web/cmake -G Ninja -DCMAKE_BUILD_TYPE=Release -DZR_GUI=OFF \
	  -DZR_TESTS=OFF -Wno-dev >/dev/null
	NODE_PATH=/usr/share/nodejs cmake --build build-web/cmake --parallel 2 --target zorvex_engine zrtranslate
	$(MAKE) web/node_modules/.package-lock.json
	node web/build.mjs build-web/cmake/web $(WEB_SITE)

web/node_modules/.package-lock.json: web/package-lock.json
	cd web && npm ci --no-audit --no-fund

# Serves the playground on http://127.0.0.1:8080 until Ctrl-C.
web-serve: web
	python3 -m http.server 8080 --bind 127.0.0.1 --directory $(WEB_SITE)

# The golden cases through the WebAssembly zrtranslate under node, the JSON
# entry under node, then the page in headless Chromium against the native
# zrtranslate.
test-web: web build
	web/test/golden.sh build-web/cmake/cli/zrtranslate.js tests/golden
	ZR_ENGINE_DIR=$(CURDIR)/build-web/cmake/web node --test web/test/engine.test.mjs web/test/share.test.mjs
	node web/test/browser.mjs $(WEB_SITE) $(BUILD)/cli/zrtranslate

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
