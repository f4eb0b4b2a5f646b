"""Translates every file of a tree under one schema on a Dask cluster.

    python3 -m zorvex.dask [--scheduler ADDR] [--pattern GLOB] [--timeout SECONDS]
                           SCHEMA_FILE SOURCE_DIR OUT_DIR

Each source SOURCE_DIR/PATH becomes OUT_DIR/PATH.out, holding the same bytes
``zrtranslate --out-dir`` writes for it. A failed translation prints its
``FILE:LINE:COLUMN: error: MESSAGE`` line on standard error, as zrtranslate
does, and leaves no output file (an earlier run's is removed). Without
--scheduler a cluster is started on this machine. The workers read and write
the files themselves, so on several machines SOURCE_DIR and OUT_DIR must be on
a file system they all share.

Exit status: 0 every file translated, 1 some failed, 2 a usage error or an
unreadable schema file.
"""

import argparse
import fnmatch
import os
import secrets
import sys

import zorvex

__all__ = ["translate_file", "translate_tree", "main"]

_BYTE_ORDER_MARK = b"\xef\xbb\xbf"


class _Unreadable(Exception):
    """A file that cannot be translated, with the line that says why."""


def _read_input(path):
    """The bytes of a schema or source file as zrtranslate reads them: a
    leading UTF-8 byte-order mark removed, NUL bytes refused."""
    try:
        with open(path, "rb") as handle:
            data = handle.read()
    except OSError as error:
        raise _Unreadable(f"zorvex.dask: cannot read {path}: {error.strerror or error}") from None
    if b"\0" in data:
        raise _Unreadable(f"zorvex.dask: cannot read {path}: holds NUL bytes, not a text file")
    return data[len(_BYTE_ORDER_MARK):] if data.startswith(_BYTE_ORDER_MARK) else data


def _replace_file(path, data):
    """Writes `data` to a new file beside `path` and renames it over `path`,
    so no reader ever sees half a result. A new file gets the mode the umask
    gives, as zrtranslate's do."""
    folder = os.path.dirname(path) or "."
    os.makedirs(folder, exist_ok=True)
    temporary = os.path.join(folder, f".{os.path.basename(path)}.{secrets.token_hex(6)}.tmp")
    fd = os.open(temporary, os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_CLOEXEC, 0o666)
    try:
        with os.fdopen(fd, "wb") as out:
            out.write(data)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def _remove_stale(path):
    """A source that fails keeps no result of an earlier run."""
    try:
        os.unlink(path)
    except FileNotFoundError:
        pass


def translate_file(schema, schema_file, source_path, out_path, timeout=None):
    """Translates one file under `schema` (the schema file's bytes) into
    `out_path`. Returns None, or the error line(s) of a failure, naming
    `schema_file` or `source_path` as zrtranslate would."""
    try:
        source = _read_input(source_path)
        result = zorvex.translate(schema, source, timeout=timeout)
    except _Unreadable as error:
        _remove_stale(out_path)
        return str(error)
    except zorvex.TranslationError as error:
        _remove_stale(out_path)
        return error.error_line(schema_file, source_path)
    _replace_file(out_path, str(result).encode("utf-8", "surrogateescape"))
    return None


def source_files(source_dir, pattern="*"):
    """The paths under `source_dir` (relative to it, sorted) whose file name
    matches `pattern`."""
    found = []
    for folder, folders, names in os.walk(source_dir):
        folders.sort()
        found.extend(os.path.relpath(os.path.join(folder, name), source_dir)
                     for name in names if fnmatch.fnmatch(name, pattern))
    return sorted(found)


def translate_tree(client, schema_file, source_dir, out_dir, pattern="*", timeout=None):
    """Translates every file under `source_dir` whose name matches `pattern`
    on the client's cluster, each into OUT_DIR/PATH.out. Returns the error
    lines of the files that failed, in the order of their paths. Raises
    OSError for a schema file that cannot be read and ValueError when an
    output would replace a source."""
    try:
        schema = _read_input(schema_file)
    except _Unreadable as error:
        raise OSError(str(error)) from None
    paths = source_files(source_dir, pattern)
    sources = [os.path.join(source_dir, path) for path in paths]
    outputs = [os.path.join(out_dir, path + ".out") for path in paths]
    inputs = {os.path.realpath(path) for path in sources + [schema_file]}
    for output in outputs:
        if os.path.realpath(output) in inputs:
            raise ValueError(f"the output {output} would replace an input")
    if not paths:
        return []
    # The schema goes to every worker once, not with every file.
    [shared_schema] = client.scatter([schema], broadcast=True)
    futures = client.map(translate_file, [shared_schema] * len(paths), [schema_file] * len(paths),
                         sources, outputs, [timeout] * len(paths), pure=False)
    return [error for error in client.gather(futures) if error is not None]


def _arguments(argv):
    parser = argparse.ArgumentParser(
        prog="python3 -m zorvex.dask", description=__doc__.split("\n")[0])
    parser.add_argument("--scheduler", metavar="ADDR",
                        help="address of a running Dask scheduler (default: a cluster on this "
                        "machine)")
    parser.add_argument("--pattern", default="*", metavar="GLOB",
                        help="translate only the files whose name matches (default: every file)")
    parser.add_argument("--timeout", type=float, metavar="SECONDS",
                        help="stop a translation that runs longer")
    parser.add_argument("schema_file")
    parser.add_argument("source_dir")
    parser.add_argument("out_dir")
    return parser.parse_args(argv)


def main(argv=None):
    args = _arguments(argv)
    from dask.distributed import Client, LocalCluster

    if not os.path.isdir(args.source_dir):
        print(f"zorvex.dask: {args.source_dir} is not a folder", file=sys.stderr)
        return 2
    cluster = None if args.scheduler else LocalCluster(dashboard_address=None)
    try:
        with Client(args.scheduler or cluster) as client:
            errors = translate_tree(client, args.schema_file, args.source_dir, args.out_dir,
                                    args.pattern, args.timeout)
    except (OSError, ValueError) as error:
        print(error, file=sys.stderr)
        return 2
    finally:
        if cluster is not None:
            cluster.close()
    for error in errors:
        print(error, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
