"""The scale-out recipes of docs/scale-out.md on this machine: zorvex.dask on a
LocalCluster of two worker processes over a tree of 40 files, and the GNU
parallel command line over a part of it. Every result file and error line is
compared with what zrtranslate writes for the same source."""

import glob
import os
import shutil
import subprocess
import sys

import pytest
from dask.distributed import Client, LocalCluster

import zorvex.dask

ZRTRANSLATE = os.environ["ZRTRANSLATE"]
SOURCE_DIR = os.environ["ZR_SOURCE_DIR"]
SCHEMA_FILE = os.path.join(SOURCE_DIR, "example", "vbs_c", "s.txt")

@pytest.fixture(scope="module")
def tree(tmp_path_factory):
    """40 sources in nested folders, made of the example scripts (some fail),
    each with a name of its own."""
    scripts = sorted(glob.glob(os.path.join(SOURCE_DIR, "tests", "example", "*.inc")))
    root = tmp_path_factory.mktemp("tree")
    for i in range(40):
        folder = root / "src" / f"part{i % 3}" / f"group{i % 2}"
        folder.mkdir(parents=True, exist_ok=True)
        shutil.copy(scripts[i % len(scripts)], folder / f"script{i}.inc")
    return root


@pytest.fixture(scope="module")
def client():
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                      dashboard_address=None) as cluster, Client(cluster) as connected:
        yield connected


def sources(folder):
    found = glob.glob(f"{folder}/**/*.inc", recursive=True)
    return sorted(os.path.relpath(path, folder) for path in found)


def out_dir_run(schema_file, source_paths, out_dir):
    """zrtranslate --out-dir over the sources: its error lines, each with its
    note line when it has one."""
    run = subprocess.run([ZRTRANSLATE, "--out-dir", out_dir, schema_file, *source_paths],
                         capture_output=True, check=False)
    errors = []
    for line in run.stderr.decode("utf-8", "surrogateescape").splitlines():
        if ": error: " in line:
            errors.append(line)
        elif ": note: " in line and errors:
            errors[-1] += "\n" + line
    return errors


def check_same_as_command_line(schema_file, src, out, errors, cli_out, cli_errors):
    """Every file of the tree: the same bytes as zrtranslate --out-dir, or the
    same error line and no file. Returns the number that failed."""
    failed = 0
    for name in sources(src):
        ours, theirs = out / (name + ".out"), cli_out / (os.path.basename(name) + ".out")
        if theirs.exists():
            assert ours.read_bytes() == theirs.read_bytes(), name
        else:
            assert not ours.exists(), name
            failed += 1
    assert sorted(errors) == sorted(cli_errors)
    return failed


def test_dask_files_equal_command_line_files(tree, tmp_path, client):
    src = tree / "src"
    stale = tmp_path / "out" / "part0" / "group0"
    stale.mkdir(parents=True)
    (stale / "script0.inc.out").write_text("an earlier run")  # replaced or removed
    errors = zorvex.dask.translate_tree(client, SCHEMA_FILE, str(src), str(tmp_path / "out"),
                                        "*.inc")
    cli_errors = out_dir_run(SCHEMA_FILE, [str(src / name) for name in sources(src)],
                             str(tmp_path / "cli"))
    failed = check_same_as_command_line(SCHEMA_FILE, src, tmp_path / "out", errors,
                                        tmp_path / "cli", cli_errors)
    assert 0 < failed < 40
    assert not glob.glob(str(tmp_path / "out" / "**" / ".*.tmp"), recursive=True)


def doc_examples():
    cases = []
    for folder in sorted(glob.glob(os.path.join(SOURCE_DIR, "docs", "examples", "*"))):
        if os.path.exists(os.path.join(folder, "schema")) and not os.path.exists(
                os.path.join(folder, "args")):
            cases.append(folder)
    return cases


def test_dask_files_equal_command_line_files_for_doc_examples(tmp_path):
    with Client(processes=False, n_workers=1, threads_per_worker=2,
                dashboard_address=None) as in_process:
        for case in doc_examples():
            name = os.path.basename(case)
            src = tmp_path / name / "src"
            src.mkdir(parents=True)
            shutil.copy(os.path.join(case, "source"), src / "source")
            schema_file = os.path.join(case, "schema")
            errors = zorvex.dask.translate_tree(in_process, schema_file, str(src),
                                                str(tmp_path / name / "out"))
            cli_errors = out_dir_run(schema_file, [str(src / "source")],
                                     str(tmp_path / name / "cli"))
            check_same_as_command_line(schema_file, src, tmp_path / name / "out", errors,
                                       tmp_path / name / "cli", cli_errors)


def test_module_command(tree, tmp_path):
    """python3 -m zorvex.dask with a cluster of its own: the exit status and
    the error lines; an output that would replace a source is refused."""
    run = subprocess.run(
        [sys.executable, "-m", "zorvex.dask", "--pattern", "*.inc",
         SCHEMA_FILE, str(tree / "src" / "part1"), str(tmp_path / "out")],
        capture_output=True, text=True, check=False)
    assert run.returncode == 1, run.stderr
    part = tree / "src" / "part1"
    cli_errors = out_dir_run(SCHEMA_FILE, [str(part / name) for name in sources(part)],
                             str(tmp_path / "cli"))
    assert sorted(line for line in run.stderr.splitlines() if ": error: " in line) == \
        sorted(cli_errors)
    assert len(glob.glob(str(tmp_path / "out" / "**" / "*.out"), recursive=True)) == \
        len(glob.glob(str(tmp_path / "cli" / "*.out")))

    (tmp_path / "same").mkdir()
    shutil.copy(SCHEMA_FILE, tmp_path / "same" / "a")
    shutil.copy(SCHEMA_FILE, tmp_path / "same" / "a.out")
    with pytest.raises(ValueError, match="would replace an input"):
        zorvex.dask.translate_tree(None, SCHEMA_FILE, str(tmp_path / "same"),
                                   str(tmp_path / "same"))
    assert (tmp_path / "same" / "a.out").read_bytes() == (tmp_path / "same" / "a").read_bytes()


def test_parallel_command_line_matches_lone_runs(tree):
    # The command of docs/scale-out.md on this machine, in the tree's folder,
    # over a third of the tree (parallel starts slowly).
    shutil.copy(SCHEMA_FILE, tree / "schema.txt")
    run = subprocess.run(
        "find src/part0 -type f -name '*.inc' | parallel --will-cite --jobs 2 "
        f"'mkdir -p out/{{//}} && {ZRTRANSLATE} -o out/{{}}.out schema.txt {{}}'",
        shell=True, cwd=tree, check=False, capture_output=True)
    failed, lone_runs = 0, {}
    for name in sources(tree / "src" / "part0"):
        name = os.path.join("src", "part0", name)
        text = (tree / name).read_bytes()
        if text not in lone_runs:  # the tree holds copies; run each script alone once
            lone_runs[text] = subprocess.run([ZRTRANSLATE, SCHEMA_FILE, tree / name],
                                             capture_output=True)
        alone = lone_runs[text]
        out = tree / "out" / (name + ".out")
        if alone.returncode == 0:
            assert out.read_bytes() == alone.stdout, name
        else:
            assert not out.exists(), name
            failed += 1
    # parallel's exit status counts the commands that failed.
    assert 0 < failed == run.returncode < 14
