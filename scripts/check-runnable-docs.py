#!/usr/bin/env python3
"""Runs the code blocks of the documents so that they cannot drift from the code.

    check-runnable-docs.py ZRTRANSLATE SOURCE_DIR DOCUMENT...

A fenced block right after the line `<!-- runnable -->` runs: an `sh` block
with bash (-e, -u, pipefail), a `python` block with python3, each to a zero
exit status. The blocks of one document run in order, in one temporary folder
that holds `schema.txt` (the bundled example's schema) and a tree `src/` of
scripts it translates, with ZRTRANSLATE's folder and a `python3` that is the
Python running this script first on PATH, and the source tree's Python module
on PYTHONPATH (ZRDLL_LIBRARY names the library).

A fenced block right after `<!-- excerpt of PATH -->` must appear verbatim in
the file PATH of the source tree.
"""

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

MARKER = re.compile(r"^<!-- (runnable|excerpt of (\S+)) -->$")
FENCE = re.compile(r"^```(\w*)$")
RUNNERS = {"sh": ["bash", "-euo", "pipefail"], "python": [sys.executable]}
TIMEOUT_SECONDS = 300


def marked_blocks(text):
    """(marker, argument, language, code, line number) of every marked block."""
    lines = text.split("\n")
    blocks = []
    for number, line in enumerate(lines):
        marker = MARKER.match(line)
        if not marker:
            continue
        fence = FENCE.match(lines[number + 1]) if number + 1 < len(lines) else None
        if not fence:
            raise ValueError(f"line {number + 1}: the marker is not followed by a fenced block")
        end = lines.index("```", number + 2)
        code = "\n".join(lines[number + 2:end]) + "\n"
        kind = "runnable" if marker.group(1) == "runnable" else "excerpt"
        blocks.append((kind, marker.group(2), fence.group(1), code, number + 3))
    return blocks


def prepare_folder(folder, source_dir):
    """schema.txt and a tree src/ of scripts that translate under it."""
    shutil.copy(os.path.join(source_dir, "example", "vbs_c", "s.txt"), os.path.join(folder, "schema.txt"))
    scripts = [os.path.join(source_dir, "example", "vbs_c", "reallife.inc")]
    scripts += sorted(path for path in glob.glob(os.path.join(source_dir, "tests", "example", "*.inc"))
                      if os.path.exists(path[:-len(".inc")] + ".out"))[:4]
    for i, script in enumerate(scripts):
        part = os.path.join(folder, "src", f"part{i % 2}")
        os.makedirs(part, exist_ok=True)
        shutil.copy(script, part)


def environment(zrtranslate, source_dir, folder):
    """The blocks' environment: `python3` in a shell block is this Python."""
    programs = os.path.join(folder, ".bin")
    os.mkdir(programs)
    os.symlink(sys.executable, os.path.join(programs, "python3"))
    env = dict(os.environ)
    env["PATH"] = os.pathsep.join([programs, os.path.dirname(os.path.abspath(zrtranslate)),
                                   env.get("PATH", "")])
    python_path = os.path.join(source_dir, "python")
    env["PYTHONPATH"] = python_path + (os.pathsep + env["PYTHONPATH"] if env.get("PYTHONPATH") else "")
    env["PYTHONDONTWRITEBYTECODE"] = "1"
    return env


def check_document(document, zrtranslate, source_dir):
    """The failures of one document, as lines to print."""
    with open(document, encoding="utf-8") as handle:
        blocks = marked_blocks(handle.read())
    name = os.path.relpath(document, source_dir)
    failures = []
    if not any(kind == "runnable" for kind, *_ in blocks):
        failures.append(f"{name}: no block is marked runnable")
    with tempfile.TemporaryDirectory() as folder:
        prepare_folder(folder, source_dir)
        env = environment(zrtranslate, source_dir, folder)
        for kind, path, language, code, line in blocks:
            where = f"{name}:{line}"
            if kind == "excerpt":
                with open(os.path.join(source_dir, path), encoding="utf-8") as handle:
                    if code not in handle.read():
                        failures.append(f"{where}: the excerpt is not in {path} as it is")
                continue
            if language not in RUNNERS:
                failures.append(f"{where}: no way to run a block of '{language}'")
                continue
            script = os.path.join(folder, f".block{line}")
            with open(script, "w", encoding="utf-8") as handle:
                handle.write(code)
            try:
                run = subprocess.run(RUNNERS[language] + [script], cwd=folder, env=env,
                                     capture_output=True, text=True, timeout=TIMEOUT_SECONDS,
                                     stdin=subprocess.DEVNULL)
            except subprocess.TimeoutExpired:
                failures.append(f"{where}: still running after {TIMEOUT_SECONDS} s")
                continue
            if run.returncode != 0:
                failures.append(f"{where}: exit status {run.returncode}\n{run.stdout}{run.stderr}")
            else:
                print(f"{where}: ok")
    return failures


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    zrtranslate, source_dir, documents = argv[0], os.path.abspath(argv[1]), argv[2:]
    failures = []
    for document in documents:
        failures += check_document(document, zrtranslate, source_dir)
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
