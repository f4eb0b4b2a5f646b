#!/usr/bin/env python3
"""Times zrtranslate on the generated workloads and prints one table row per
workload and size: MB/s, nanoseconds per dialog step, peak resident memory per
byte of source and, for the program-like workloads, the ratio to a flex
scanner doing the same translation (whose output must be byte-identical).
Times are CPU times (user and system) of the child process, the best of
BENCH_RUNS runs (3 unless the environment says otherwise): on a shared machine
the same run can take twice as long from one minute to the next, and the
best run is the one least disturbed.

  run_workloads.py ZRTRANSLATE WORK_DIR [SIZE_MB ...]
"""

import os
import re
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
MB = 1 << 20
RUNS = max(1, int(os.environ.get("BENCH_RUNS", "3")))


def run(command, stdout_path, stdin_path=None, env=None):
    """Runs a command; returns (CPU seconds, wall seconds, peak resident bytes,
    stderr text). CPU time (user and system) is what the figures use: on a
    shared machine the wall time also counts the waits for a core."""
    with open(stdout_path, "wb") as out, open(stdin_path or os.devnull, "rb") as inp:
        start = time.perf_counter()
        child = subprocess.Popen(command, stdout=out, stdin=inp, stderr=subprocess.PIPE, env=env)
        err = child.stderr.read()
        _, status, usage = os.wait4(child.pid, 0)
        seconds = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit("%s failed (%d): %s" % (command[0], child.returncode, err.decode(errors="replace")[:2000]))
    cpu = usage.ru_utime + usage.ru_stime
    return cpu, seconds, usage.ru_maxrss * 1024, err.decode(errors="replace")


def best_run(command, stdout_path, stdin_path=None, by_wall=False):
    """run() RUNS times: the CPU and wall seconds of the run with the least
    CPU time (with `by_wall`, the least wall time: batch spreads its jobs over
    the cores), the largest peak and the last stderr."""
    results = [run(command, stdout_path, stdin_path) for _ in range(RUNS)]
    cpu, wall, _, err = min(results, key=lambda r: r[1] if by_wall else r[0])
    return cpu, wall, max(r[2] for r in results), err


def generate(kind, size, folder):
    if not os.path.exists(os.path.join(folder, "source.txt")):
        subprocess.run([sys.executable, os.path.join(HERE, "workloads.py"), kind, str(size), folder],
                       check=True)


def build_scanner(folder):
    scanner = os.path.join(folder, "scanner")
    if not os.path.exists(scanner):
        subprocess.run(["flex", "-o", os.path.join(folder, "scanner.c"),
                        os.path.join(folder, "scanner.l")], check=True)
        subprocess.run(["cc", "-O2", "-o", scanner, os.path.join(folder, "scanner.c")], check=True)
    return scanner


def same_file(a, b):
    with open(a, "rb") as fa, open(b, "rb") as fb:
        while True:
            x, y = fa.read(1 << 20), fb.read(1 << 20)
            if x != y:
                return False
            if not x:
                return True


def debug_steps(zrtranslate, folder, copies):
    """Dialog steps of the example repeated `copies` times, from a debug run."""
    sub = os.path.join(folder, "steps%d" % copies)
    os.makedirs(sub, exist_ok=True)
    with open(os.path.join(HERE, "..", "example", "vbs_c", "reallife.inc"), newline="") as f:
        one = f.read()
    with open(os.path.join(sub, "source.txt"), "w", newline="") as f:
        f.write(one * copies)
    _, _, _, err = run([zrtranslate, "--raw", "--debug", os.path.join(folder, "schema.txt"),
                     os.path.join(sub, "source.txt")], os.devnull)
    return len(re.findall(r"\.   +DIALOG \d+ ", err))


def engine_row(zrtranslate, kind, size, folder, steps, flex_seconds=None):
    source = os.path.join(folder, "source.txt")
    seconds, wall, peak, _ = best_run([zrtranslate, "--raw", os.path.join(folder, "schema.txt"), source],
                                      os.path.join(folder, "engine.out"))
    size_bytes = os.path.getsize(source)
    return {
        "workload": kind, "size": size, "seconds": seconds, "wall": wall,
        "mb_s": size_bytes / MB / seconds, "ns_step": seconds * 1e9 / steps if steps else None,
        "bytes": peak / size_bytes, "steps": steps,
        "flex": flex_seconds, "ratio": seconds / flex_seconds if flex_seconds else None,
    }


def program_row(zrtranslate, kind, size, work):
    folder = os.path.join(work, "%s-%s" % (kind, size))
    generate(kind, size, folder)
    scanner = build_scanner(folder)
    flex_seconds, _, _, err = best_run([scanner], os.path.join(folder, "flex.out"),
                                       os.path.join(folder, "source.txt"))
    steps = int(re.search(r"steps (\d+)", err).group(1))
    row = engine_row(zrtranslate, kind, size, folder, steps, flex_seconds)
    if not same_file(os.path.join(folder, "flex.out"), os.path.join(folder, "engine.out")):
        sys.exit("%s %s MB: the engine's output differs from the flex scanner's" % (kind, size))
    return row


def example_row(zrtranslate, size, work):
    folder = os.path.join(work, "example-%s" % size)
    generate("example", size, folder)
    with open(os.path.join(folder, "copies")) as f:
        copies = int(f.read())
    one, two = debug_steps(zrtranslate, folder, 1), debug_steps(zrtranslate, folder, 2)
    return engine_row(zrtranslate, "example", size, folder, one + (copies - 1) * (two - one))


def batch_rows(zrtranslate, work):
    """40 sources of 1 MB through the batch mode, when zrtranslate has one."""
    usage = subprocess.run([zrtranslate, "--help"], capture_output=True, text=True)
    if "--jobs" not in usage.stdout + usage.stderr:
        print("batch: skipped, this zrtranslate has no --jobs option", file=sys.stderr)
        return []
    folder = os.path.join(work, "batch")
    if not os.path.exists(os.path.join(folder, "schema.txt")):
        subprocess.run([sys.executable, os.path.join(HERE, "workloads.py"), "batch", folder], check=True)
    sources = sorted(os.path.join(folder, f) for f in os.listdir(folder) if f.startswith("source"))
    total = sum(os.path.getsize(s) for s in sources)
    rows = []
    for jobs in (1, 2):
        out_dir = os.path.join(folder, "out%d" % jobs)
        os.makedirs(out_dir, exist_ok=True)
        seconds, wall, peak, _ = best_run([zrtranslate, "--raw", "--jobs", str(jobs), "--out-dir",
                                           out_dir, os.path.join(folder, "schema.txt")] + sources,
                                          os.devnull, by_wall=True)
        # Two jobs spread the CPU time over two cores: the wall time tells.
        rows.append({"workload": "batch --jobs %d" % jobs, "size": 40, "seconds": seconds,
                     "wall": wall, "mb_s": total / MB / wall, "ns_step": None, "bytes": peak / total,
                     "steps": None, "flex": None, "ratio": None})
    return rows


def table(rows):
    lines = ["| Workload | Source MB | Engine CPU s | Wall s | MB/s | ns per step "
             "| Peak bytes per source byte | flex CPU s | Engine / flex |",
             "| --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |"]
    for r in rows:
        def num(value, form):
            return form % value if value is not None else ""
        lines.append("| %s | %s | %.2f | %.2f | %.1f | %s | %.1f | %s | %s |" % (
            r["workload"], r["size"], r["seconds"], r["wall"], r["mb_s"], num(r["ns_step"], "%.0f"), r["bytes"],
            num(r["flex"], "%.2f"), num(r["ratio"], "%.2f")))
    return "\n".join(lines)


def main(argv):
    zrtranslate, work = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    sizes = argv[3:] or ["2", "20", "100"]
    os.makedirs(work, exist_ok=True)
    rows = []
    for size in sizes:
        for kind in ("program", "small"):
            rows.append(program_row(zrtranslate, kind, size, work))
            print(table(rows[-1:]).splitlines()[-1], file=sys.stderr, flush=True)
        rows.append(example_row(zrtranslate, size, work))
        print(table(rows[-1:]).splitlines()[-1], file=sys.stderr, flush=True)
    rows += batch_rows(zrtranslate, work)
    print(table(rows))


if __name__ == "__main__":
    main(sys.argv)
