"""Translates every file of a tree under one schema on a Dask cluster.

    python3 translate_tree.py [--scheduler HOST:PORT] SCHEMA_FILE SOURCE_DIR OUT_DIR

Each source SOURCE_DIR/PATH becomes OUT_DIR/PATH.out (the result body, as
zorvex.translate returns it); a failed translation is listed on standard
error and leaves no file. Without --scheduler the script starts a cluster on
this machine. The workers read and write the files themselves, so on several
machines SOURCE_DIR and OUT_DIR must be on a file system they all share.
"""

import argparse
import os
import sys
import tempfile

import zorvex


def translate_file(schema, source_path, out_path):
    """Translates one file; returns None, or the error line of a failure."""
    with open(source_path, "rb") as source:
        text = source.read()
    try:
        result = zorvex.translate(schema, text)
    except zorvex.TranslationError as error:
        return f"{source_path}: {error}"
    os.makedirs(os.path.dirname(out_path), exist_ok=True)
    # Written beside the target and renamed over it: never half a file.
    handle, temporary = tempfile.mkstemp(dir=os.path.dirname(out_path), prefix=".zr-")
    try:
        with os.fdopen(handle, "w", encoding="utf-8", errors="surrogateescape",
                       newline="") as out:
            out.write(result)
        os.replace(temporary, out_path)
    except BaseException:
        os.unlink(temporary)
        raise
    return None


def source_files(source_dir):
    for folder, _, names in os.walk(source_dir):
        for name in sorted(names):
            yield os.path.relpath(os.path.join(folder, name), source_dir)


def translate_tree(client, schema, source_dir, out_dir):
    """Maps translate_file over the tree on the client's cluster; returns the
    error lines of the files that failed."""
    paths = sorted(source_files(source_dir))
    # The schema goes to every worker once, not with every file.
    [shared_schema] = client.scatter([schema], broadcast=True)
    futures = client.map(translate_file, [shared_schema] * len(paths),
                         [os.path.join(source_dir, p) for p in paths],
                         [os.path.join(out_dir, p + ".out") for p in paths])
    return [error for error in client.gather(futures) if error is not None]


def main(argv):
    from dask.distributed import Client, LocalCluster

    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--scheduler", help="address of a running Dask scheduler")
    parser.add_argument("schema_file")
    parser.add_argument("source_dir")
    parser.add_argument("out_dir")
    args = parser.parse_args(argv)
    with open(args.schema_file, encoding="utf-8", errors="surrogateescape") as schema_file:
        schema = schema_file.read()
    cluster = None if args.scheduler else LocalCluster()
    with Client(args.scheduler or cluster) as client:
        errors = translate_tree(client, schema, args.source_dir, args.out_dir)
    if cluster:
        cluster.close()
    for error in errors:
        print(error, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
