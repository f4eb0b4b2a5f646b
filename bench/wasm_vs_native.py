#!/usr/bin/env python3
"""Times the WebAssembly engine against the native zrtranslate on the program
workload and prints MB/s of each and the ratio of their CPU times (user and
system, the best of BENCH_RUNS runs, 3 unless set):
- whole process: zrtranslate built by emscripten, run by node, whose output
  must be byte-identical to the native one's; node's start and the module's
  compilation count;
- in process: the playground's JSON entry in one node process
  (wasm_translate.mjs), the first run and the best later one.

  wasm_vs_native.py ZRTRANSLATE ZRTRANSLATE_JS ENGINE_DIR WORK_DIR [SIZE_MB ...]
"""

import json
import os
import subprocess
import sys

from run_workloads import MB, best_run, generate, same_file


def main(argv):
    native, wasm, engine_dir, work = (os.path.abspath(a) for a in argv[1:5])
    sizes = argv[5:] or ["2"]
    here = os.path.dirname(os.path.abspath(__file__))
    print("| workload | size | native MB/s | WebAssembly: process | in process, first run "
          "| in process, later runs |")
    print("| --- | --- | --- | --- | --- | --- |")
    for size in sizes:
        folder = os.path.join(work, "program-%s" % size)
        generate("program", size, folder)
        schema, source = os.path.join(folder, "schema.txt"), os.path.join(folder, "source.txt")
        megabytes = os.path.getsize(source) / MB
        native_out, wasm_out = os.path.join(folder, "native.out"), os.path.join(folder, "wasm.out")
        native_cpu, _, _, _ = best_run([native, "--raw", schema, source], native_out)
        wasm_cpu, _, _, _ = best_run(
            ["node", "--no-experimental-fetch", wasm, "--raw", schema, source], wasm_out)
        if not same_file(native_out, wasm_out):
            sys.exit("the WebAssembly result differs from the native one for program %s MB" % size)
        runs = str(max(2, int(os.environ.get("BENCH_RUNS", "3")) + 1))
        inside = json.loads(subprocess.run(
            ["node", os.path.join(here, "wasm_translate.mjs"), engine_dir, schema, source, runs],
            check=True, capture_output=True, text=True).stdout)

        def cell(cpu):
            return "%.1f MB/s (%.2f×)" % (megabytes / cpu, cpu / native_cpu)

        print("| program | %s MB | %.1f | %s | %s | %s |" % (
            size, megabytes / native_cpu, cell(wasm_cpu), cell(inside["first"]),
            cell(inside["best"])))


if __name__ == "__main__":
    main(sys.argv)
