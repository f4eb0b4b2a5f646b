#!/usr/bin/env python3
"""Times the WebAssembly engine (zrtranslate built by emscripten, run by node)
against the native zrtranslate on the program workload, checks that both
write the same bytes and prints MB/s of each and their ratio. Times are CPU
times (user and system) of the whole process, node's start and the module's
compilation included; the best of BENCH_RUNS runs (3 unless set).

  wasm_vs_native.py ZRTRANSLATE ZRTRANSLATE_JS WORK_DIR [SIZE_MB ...]
"""

import os
import sys

from run_workloads import MB, best_run, generate, same_file


def main(argv):
    native, wasm, work = (os.path.abspath(a) for a in argv[1:4])
    sizes = argv[4:] or ["2"]
    print("| workload | size | native MB/s | WebAssembly MB/s | WebAssembly / native time |")
    print("| --- | --- | --- | --- | --- |")
    for size in sizes:
        folder = os.path.join(work, "program-%s" % size)
        generate("program", size, folder)
        schema, source = os.path.join(folder, "schema.txt"), os.path.join(folder, "source.txt")
        megabytes = os.path.getsize(source) / MB
        native_out, wasm_out = os.path.join(folder, "native.out"), os.path.join(folder, "wasm.out")
        native_cpu, _, _, _ = best_run([native, "--raw", schema, source], native_out)
        wasm_cpu, _, _, _ = best_run(["node", wasm, "--raw", schema, source], wasm_out)
        if not same_file(native_out, wasm_out):
            sys.exit("the WebAssembly result differs from the native one for program %s MB" % size)
        print("| program | %s MB | %.1f | %.1f | %.2f |" % (
            size, megabytes / native_cpu, megabytes / wasm_cpu, wasm_cpu / native_cpu))


if __name__ == "__main__":
    main(sys.argv)
