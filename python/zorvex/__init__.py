"""Translations with the zorvex engine (libzrdll.so) from Python.

``translate(schema, source)`` runs one translation through the engine's C
interface and returns the result body as a ``Result``, a ``str`` that also
carries the result's three header lines. A failed translation raises
``TranslationError``.

The module speaks to the library through ctypes: nothing is compiled for a
particular Python, and the one library serves every host. Several threads may
translate at once: the engine keeps one state per thread, and ctypes releases
the interpreter lock for the length of the call.

The library is found through ZRDLL_LIBRARY (a path) when it is set, else as
the copy a wheel carries beside this module, else where an install into a
prefix put it, else by its SONAME in the system's library path.
"""

import ctypes
import os
import threading
from collections.abc import Callable

try:
    from zorvex._version import __version__  # written by the build
except ImportError:  # the module straight from a source checkout
    __version__ = "unknown"

__all__ = ["Result", "TranslationError", "translate"]

_RESULT, _NO_VALUE = 0, 1

_WRITES = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_char_p)

# Directives put in front of the schema switch tracing on for the whole run;
# the first occurrence of a directive counts, so they win over the schema's.
_DEBUG_DIRECTIVES = b"\\\\debug schema=t\n\\\\debug dialog=t\n"
_DEBUG_LINES = 2

# The engine reports an engine error through writes, in one message:
# CR LF, 'in "translate" module', CR LF, NUMBER, " * ", DESCRIPTION.
_REPORT_HEAD = '\r\nin "translate" module\r\n'

_LONG_LONG_MAX = 2**63 - 1


class Result(str):
    """The body of a translation's result (the text after the three header
    lines), with the header lines as attributes ``redirect``, ``reengine`` and
    ``save`` (each without its line feed). ``raw`` is the whole result as the
    engine returns it."""

    redirect: str
    reengine: str
    save: str

    def __new__(cls, body: str, redirect: str = "", reengine: str = "", save: str = "") -> "Result":
        result = super().__new__(cls, body)
        result.redirect = redirect
        result.reengine = reengine
        result.save = save
        return result

    def __getnewargs__(self):
        # Pickling (a Dask worker sends its results back) keeps the header.
        return (str(self), self.redirect, self.reengine, self.save)

    @property
    def raw(self) -> str:
        return f"{self.redirect}\n{self.reengine}\n{self.save}\n{self}"


class TranslationError(Exception):
    """A translation that gave no result.

    ``number`` and ``description`` are the engine's error number and its whole
    description (context lines included). ``in_schema``, ``line`` and
    ``column`` say where the run stopped (the schema's line being read, or the
    source's scan position, 1-based); they are None when the engine names no
    place. ``message`` is the first line of the description."""

    def __init__(self, number: int, description: str, in_schema: bool | None = None,
                 line: int | None = None, column: int | None = None) -> None:
        self.number = number
        self.description = description
        self.in_schema = in_schema
        self.line = line
        self.column = column
        self.message = description.split("\r\n", 1)[0]
        super().__init__(number, description, in_schema, line, column)

    def __str__(self):
        if self.line is None:
            return f"{self.number} * {self.message}"
        where = "schema" if self.in_schema else "source"
        return f"{where}:{self.line}:{self.column}: error: {self.message}"


_library = None
_library_lock = threading.Lock()


# The library's ABI that the declarations below are written for.
_SONAME = "libzrdll.so.1"


def _library_candidates():
    explicit = os.environ.get("ZRDLL_LIBRARY")
    if explicit:
        return [explicit]
    here = os.path.dirname(os.path.abspath(__file__))
    candidates = []
    own_copy = os.path.join(here, _SONAME)  # a wheel's
    if os.path.exists(own_copy):
        candidates.append(own_copy)
    try:
        from zorvex._installed import LIBRARY  # written by an install into a prefix
    except ImportError:
        pass
    else:
        candidates.append(os.path.join(here, LIBRARY))
    candidates.append(_SONAME)
    return candidates


def _declare(lib):
    p_void, p_text = ctypes.c_void_p, ctypes.POINTER(ctypes.c_void_p)
    lib.zrcomp_create.restype = p_void
    lib.zrcomp_create.argtypes = []
    lib.zrcomp_destroy.argtypes = [p_void]
    lib.zrcomp_give_write_method.argtypes = [p_void, _WRITES, p_void]
    lib.zrcomp_translate.argtypes = [
        p_void, ctypes.c_char_p, ctypes.c_char_p, p_text, ctypes.POINTER(ctypes.c_int), p_text]
    lib.zrcomp_free_text.argtypes = [p_void]
    lib.zrcomp_user_terminated.argtypes = [p_void]
    lib.zrcomp_set_run_limits.argtypes = [
        p_void, ctypes.c_double, ctypes.c_longlong, ctypes.c_longlong]
    lib.zrcomp_last_failure.argtypes = [
        p_void, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_longlong),
        ctypes.POINTER(ctypes.c_longlong), p_text]
    return lib


def _engine_library():
    global _library
    with _library_lock:
        if _library is None:
            errors = []
            for name in _library_candidates():
                try:
                    _library = _declare(ctypes.CDLL(name))
                    break
                except OSError as error:
                    errors.append(str(error))
            else:
                raise OSError("cannot load libzrdll.so (set ZRDLL_LIBRARY to its path): "
                              + ("; ".join(errors) or "not found"))
        return _library


def _text_bytes(text, what):
    data = text.encode("utf-8", "surrogateescape") if isinstance(text, str) else bytes(text)
    if b"\0" in data:
        raise ValueError(f"the {what} holds a NUL character, which the engine cannot take")
    return data


def _run_limit(value, what, integer):
    """The C value of a run limit: 0 for none, else a positive number."""
    if value is None:
        return 0
    if isinstance(value, bool) or not isinstance(value, int if integer else (int, float)):
        raise TypeError(f"{what} must be {'an integer' if integer else 'a number'}, got {value!r}")
    # Also refuses NaN and infinity.
    if not 0 < value <= _LONG_LONG_MAX:
        raise ValueError(f"{what} must be positive and at most {_LONG_LONG_MAX}, got {value!r}")
    return value if integer else float(value)


def _take_text(lib, pointer):
    """Decodes a text the library allocated and releases it."""
    try:
        return ctypes.string_at(pointer).decode("utf-8", "surrogateescape")
    finally:
        lib.zrcomp_free_text(pointer)


class _Messages:
    """The run's side of the message channel: passes every message on to the
    caller's on_message, keeps the engine's error report, and stops the run
    when on_message raises (the exception is raised again after the run)."""

    def __init__(self, lib, handle, on_message):
        self.lib, self.handle, self.on_message = lib, handle, on_message
        self.report = None
        self.failure = None
        self.callback = _WRITES(self.writes)

    def writes(self, _context, message):
        text = message.decode("utf-8", "surrogateescape")
        if text.startswith(_REPORT_HEAD):
            self.report = text[len(_REPORT_HEAD):]
        if self.on_message is None or self.failure is not None:
            return
        try:
            self.on_message(text)
        except BaseException as error:  # noqa: B036 - handed back after the run
            self.failure = error
            self.lib.zrcomp_user_terminated(self.handle)


def _failure(lib, handle, number, description, debug):
    in_schema, line, column = ctypes.c_int(), ctypes.c_longlong(), ctypes.c_longlong()
    first_line = ctypes.c_void_p()
    if not lib.zrcomp_last_failure(handle, ctypes.byref(in_schema), ctypes.byref(line),
                                   ctypes.byref(column), ctypes.byref(first_line)):
        return TranslationError(number, description)
    _take_text(lib, first_line)
    schema_line = line.value - _DEBUG_LINES if debug and in_schema.value else line.value
    return TranslationError(number, description, bool(in_schema.value), max(schema_line, 1),
                            column.value)


def _engine_report(report):
    """Number and description of an engine error report."""
    number, _, description = (report or "").partition(" * ")
    try:
        return int(number), description
    except ValueError:
        return 2048, report or ""


def translate(schema: str | bytes, source: str | bytes, *, debug: bool = False,
              on_message: Callable[[str], object] | None = None, timeout: float | None = None,
              max_steps: int | None = None) -> Result:
    """Translates ``source`` under ``schema`` (``str``, or UTF-8 ``bytes``).

    Returns the result body as a ``Result`` (see there). Every engine message
    (console messages, traces, the error report) goes to ``on_message(text)``
    when given. ``debug`` traces the whole run. ``timeout`` (seconds) and
    ``max_steps`` (dialog steps) bound the run; a run that reaches a bound
    fails. Raises ``TranslationError`` when the translation fails."""
    schema_data = _text_bytes(schema, "schema")
    source_data = _text_bytes(source, "source")
    if debug:
        schema_data = _DEBUG_DIRECTIVES + schema_data
    timeout_seconds = _run_limit(timeout, "timeout", integer=False)
    steps = _run_limit(max_steps, "max_steps", integer=True)
    lib = _engine_library()
    handle = lib.zrcomp_create()
    if not handle:
        raise MemoryError("cannot create an engine")
    try:
        messages = _Messages(lib, handle, on_message)
        lib.zrcomp_give_write_method(handle, messages.callback, None)
        # The limits belong to the thread's engine state: set all of them on
        # every run (a negative memory bound keeps the default).
        lib.zrcomp_set_run_limits(handle, timeout_seconds, steps, -1)
        result, description = ctypes.c_void_p(), ctypes.c_void_p()
        number = ctypes.c_int()
        outcome = lib.zrcomp_translate(handle, schema_data, source_data, ctypes.byref(result),
                                       ctypes.byref(number), ctypes.byref(description))
        # The thread's state must not keep a callback that dies with this run.
        lib.zrcomp_give_write_method(handle, _WRITES(), None)
        if outcome == _RESULT:
            raw = _take_text(lib, result)
        elif outcome == _NO_VALUE:
            error = _failure(lib, handle, *_engine_report(messages.report), debug)
        else:
            error = _failure(lib, handle, number.value, _take_text(lib, description), debug)
        if messages.failure is not None:
            raise messages.failure
        if outcome != _RESULT:
            raise error
    finally:
        lib.zrcomp_destroy(handle)
    redirect, reengine, save, body = raw.split("\n", 3)
    return Result(body, redirect, reengine, save)
