"""The scale-out recipes of docs/scale-out.md on this machine: the Dask recipe
on a LocalCluster of two worker processes over a tree of 40 files, and the GNU
parallel command line over a part of it; every result is compared with a lone
run."""

import glob
import os
import shutil
import subprocess

import pytest
from dask.distributed import Client, LocalCluster

import translate_tree
import zorvex

SOURCE_DIR = os.environ["ZR_SOURCE_DIR"]
SCHEMA_FILE = os.path.join(SOURCE_DIR, "example", "vbs_c", "s.txt")


@pytest.fixture(scope="module")
def tree(tmp_path_factory):
    """40 sources in nested folders, made of the example scripts (some fail)."""
    scripts = sorted(glob.glob(os.path.join(SOURCE_DIR, "tests", "example", "*.inc")))
    root = tmp_path_factory.mktemp("tree")
    for i in range(40):
        folder = root / "src" / f"part{i % 3}" / f"group{i % 2}"
        folder.mkdir(parents=True, exist_ok=True)
        shutil.copy(scripts[i % len(scripts)], folder / f"script{i}.inc")
    return root


def sources(folder):
    found = glob.glob(f"{folder}/**/*.inc", recursive=True)
    return sorted(os.path.relpath(path, folder) for path in found)


def test_dask_recipe_matches_lone_runs(tree, tmp_path):
    with open(SCHEMA_FILE, encoding="utf-8") as schema_file:
        schema = schema_file.read()
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None,
                      local_directory=str(tmp_path / "dask")) as cluster, Client(cluster) as client:
        errors = translate_tree.translate_tree(client, schema, str(tree / "src"), str(tmp_path))
    failed = 0
    for name in sources(tree / "src"):
        out = tmp_path / (name + ".out")
        try:
            alone = zorvex.translate(schema, (tree / "src" / name).read_bytes())
        except zorvex.TranslationError as error:
            assert f"{tree / 'src' / name}: {error}" in errors
            assert not out.exists()
            failed += 1
            continue
        assert out.read_bytes() == alone.encode("utf-8"), name
    assert 0 < failed == len(errors) < 40


def test_parallel_command_line_matches_lone_runs(tree):
    zrtranslate = os.environ["ZRTRANSLATE"]
    # The command of docs/scale-out.md on this machine, in the tree's folder,
    # over a third of the tree (parallel starts slowly).
    shutil.copy(SCHEMA_FILE, tree / "schema.txt")
    run = subprocess.run(
        "find src/part0 -type f -name '*.inc' | parallel --will-cite --jobs 2 "
        f"'mkdir -p out/{{//}} && {zrtranslate} -o out/{{}}.out schema.txt {{}}'",
        shell=True, cwd=tree, check=False, capture_output=True)
    failed, lone_runs = 0, {}
    for name in sources(tree / "src" / "part0"):
        name = os.path.join("src", "part0", name)
        text = (tree / name).read_bytes()
        if text not in lone_runs:  # the tree holds copies; run each script alone once
            lone_runs[text] = subprocess.run([zrtranslate, SCHEMA_FILE, tree / name],
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
