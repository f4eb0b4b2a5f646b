"""Translations with the zorvex engine (libzrdll.so) from Python.

``translate(schema, source)`` runs one translation through the engine's C
interface and returns the same text ``zrtranslate`` writes, as a ``Result``: a
``str`` that also carries the result's three header lines. A failed
translation raises ``TranslationError``.

The module speaks to the library through ctypes: nothing is compiled for a
particular Python, and the one library serves every host. Each calling thread
runs its translations on an engine thread of its own, so the engine's
per-thread state (the value stack is kept from run to run) stays the caller's,
several threads may translate at once, and the caller's thread stays free to
take Ctrl-C: a ``KeyboardInterrupt`` stops the run within a few hundredths of
a second and reaches the caller.

The library is found through ZRDLL_LIBRARY (a path) when it is set, else as
the copy a wheel carries beside this module, else where an install into a
prefix put it, else by its SONAME in the system's library path.
"""

import ctypes
import os
import queue
import threading
from collections.abc import Callable

try:
    from zorvex._version import __version__  # written by the build
except ImportError:  # the module straight from a source checkout
    __version__ = "unknown"

__all__ = ["Result", "TranslationError", "translate", "Run"]

_RESULT, _NO_VALUE, _ERROR, _INVALID = 0, 1, 2, 3
_STOPPED_BY_HOST, _STOPPED_BY_LIMIT = 1, 2
_TRANSLATION_RUNNING = 10
_DEFAULT_MEMORY = -1

_WRITES = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_char_p)

# Directives put in front of the schema switch tracing on for the whole run;
# the first occurrence of a directive counts, so they win over the schema's.
_DEBUG_DIRECTIVES = b"\\\\debug schema=t\n\\\\debug dialog=t\n"
_DEBUG_LINES = 2

_LONG_LONG_MAX = 2**63 - 1

# How often the caller's thread looks at a running translation: it acts on
# Ctrl-C and on a suspended run at least this often.
_POLL_SECONDS = 0.02


class _ErrorInfo(ctypes.Structure):
    _fields_ = [("number", ctypes.c_int), ("stopped", ctypes.c_int),
                ("in_schema", ctypes.c_int), ("line", ctypes.c_longlong),
                ("column", ctypes.c_longlong), ("message", ctypes.c_void_p),
                ("report", ctypes.c_void_p), ("note_line", ctypes.c_longlong),
                ("note_column", ctypes.c_longlong), ("note", ctypes.c_void_p)]


class Result(str):
    """A translation's result as ``zrtranslate`` writes it: when the three
    header lines are empty they and the line break that opens the body are
    dropped, and a result with nothing in it is empty; otherwise the whole
    text. The header lines are the attributes ``redirect``, ``reengine`` and
    ``save`` (each without its line feed); ``raw`` is the whole result as the
    engine returns it."""

    redirect: str
    reengine: str
    save: str
    raw: str

    def __new__(cls, shown: str, redirect: str = "", reengine: str = "", save: str = "",
                raw: str | None = None) -> "Result":
        result = super().__new__(cls, shown)
        result.redirect = redirect
        result.reengine = reengine
        result.save = save
        result.raw = str(shown) if raw is None else raw
        return result

    def __getnewargs__(self):
        # Pickling (a Dask worker sends its results back) keeps the header.
        return (str(self), self.redirect, self.reengine, self.save, self.raw)

    @classmethod
    def from_raw(cls, raw: str, keep_raw: bool = False) -> "Result":
        """The result of the engine's text ``raw``; with ``keep_raw`` the
        text is ``raw`` itself."""
        redirect, reengine, save, _body = raw.split("\n", 3)
        if keep_raw:
            shown = raw
        elif raw == "\n\n\n":
            shown = ""
        elif raw.startswith("\n\n\n\r\n"):
            shown = raw[5:]
        else:
            shown = raw
        return cls(shown, redirect, reengine, save, raw)


class TranslationError(Exception):
    """A translation that gave no result.

    ``number`` and ``description`` are the engine's error number and its whole
    description (context lines included); ``message`` is its first line.
    ``in_schema``, ``line`` and ``column`` say where the run stopped (the
    schema's line being read, or the source's scan position, 1-based); they
    are None when the engine names no place. ``note`` is a second place that
    explains the first (``(line, column, text)``) or None. ``stopped`` is None
    for a failure, ``"host"`` for a run stopped by request and ``"limit"`` for
    one a limit stopped."""

    def __init__(self, number: int, description: str, in_schema: bool | None = None,
                 line: int | None = None, column: int | None = None,
                 note: tuple[int, int, str] | None = None, stopped: str | None = None) -> None:
        self.number = number
        self.description = description
        self.in_schema = in_schema
        self.line = line
        self.column = column
        self.note = note
        self.stopped = stopped
        self.message = description.split("\r\n", 1)[0]
        super().__init__(number, description, in_schema, line, column, note, stopped)

    def __str__(self):
        if self.line is None:
            return f"{self.number} * {self.message}"
        return self.error_line("schema", "source")

    def error_line(self, schema_file: str, source_file: str) -> str:
        """The failure as ``zrtranslate`` reports it:
        ``FILE:LINE:COLUMN: error: MESSAGE``, naming ``schema_file`` or
        ``source_file`` (followed by an LF and a ``note:`` line when the error
        has a note)."""
        if self.line is None:
            return f"{source_file}:1:1: error: {self.message}"
        name = schema_file if self.in_schema else source_file
        line = f"{name}:{self.line}:{self.column}: error: {self.message}"
        if self.note is not None:
            note_line, note_column, note = self.note
            line += f"\n{name}:{note_line}:{note_column}: note: {note}"
        return line


class Run:
    """A translation as it runs, for ``on_suspend``: the engine waits for a
    resume (the schema suspended itself) or for a step grant (step mode)."""

    def __init__(self, lib, handle):
        self._lib, self._handle = lib, handle

    @property
    def suspended(self):
        return bool(self._lib.zrcomp_is_suspended(self._handle))

    @property
    def stepping(self):
        return bool(self._lib.zrcomp_are_steps_on(self._handle))

    @property
    def steps_taken(self):
        return self._lib.zrcomp_dialog_steps(self._handle)

    def resume(self):
        """Lets the run go on at full speed (leaving step mode)."""
        self._lib.zrcomp_suspend_dialog_and_schema(self._handle)

    def step(self):
        """Grants one dialog step (switching step mode on)."""
        self._lib.zrcomp_steps(self._handle)

    def stop(self):
        """Stops the run: translate raises TranslationError ("user ordered to
        terminate", ``stopped == "host"``)."""
        self._lib.zrcomp_user_terminated(self._handle)


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
    for name in ("zrcomp_user_terminated", "zrcomp_suspend_dialog_and_schema", "zrcomp_steps"):
        getattr(lib, name).argtypes = [p_void]
    for name in ("zrcomp_is_suspended", "zrcomp_are_steps_on"):
        getattr(lib, name).argtypes = [p_void]
        getattr(lib, name).restype = ctypes.c_int
    lib.zrcomp_dialog_steps.argtypes = [p_void]
    lib.zrcomp_dialog_steps.restype = ctypes.c_longlong
    lib.zrcomp_set_run_limits.argtypes = [
        p_void, ctypes.c_double, ctypes.c_longlong, ctypes.c_longlong]
    lib.zrcomp_set_run_limits.restype = ctypes.c_int
    lib.zrcomp_last_error.argtypes = [p_void, ctypes.POINTER(_ErrorInfo)]
    lib.zrcomp_last_error.restype = ctypes.c_int
    lib.zrcomp_error_info_free.argtypes = [ctypes.POINTER(_ErrorInfo)]
    lib.zrdll_version.restype = ctypes.c_char_p
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


def _decode(pointer):
    return ctypes.string_at(pointer).decode("utf-8", "surrogateescape") if pointer else ""


class _Messages:
    """The run's side of the message channel: passes every message on to the
    caller's on_message, and stops the run when on_message raises (the
    exception is raised again after the run)."""

    def __init__(self, lib, handle, on_message):
        self.lib, self.handle, self.on_message = lib, handle, on_message
        self.failure = None
        self.callback = _WRITES(self.writes)

    def writes(self, _context, message):
        if self.failure is not None:
            return
        try:
            self.on_message(message.decode("utf-8", "surrogateescape"))
        except BaseException as error:  # noqa: B036 - handed back after the run
            self.failure = error
            self.lib.zrcomp_user_terminated(self.handle)


def _last_error(lib, handle, debug):
    """The TranslationError of the handle's failed translation; None when the
    engine recorded none."""
    info = _ErrorInfo()
    if lib.zrcomp_last_error(handle, ctypes.byref(info)) != 1:
        return None
    try:
        added = _DEBUG_LINES if debug and info.in_schema else 0
        note = None
        if info.note_line > 0:
            note = (max(info.note_line - added, 1), info.note_column, _decode(info.note))
        stopped = {_STOPPED_BY_HOST: "host", _STOPPED_BY_LIMIT: "limit"}.get(info.stopped)
        return TranslationError(info.number, _decode(info.report), bool(info.in_schema),
                                max(info.line - added, 1), info.column, note, stopped)
    finally:
        lib.zrcomp_error_info_free(ctypes.byref(info))


def _run_translation(lib, handle, job):
    """Runs one translation on the calling (engine) thread: returns the
    engine's result text, or raises."""
    messages = None
    if job["on_message"] is not None:
        messages = _Messages(lib, handle, job["on_message"])
        lib.zrcomp_give_write_method(handle, messages.callback, None)
    else:
        # No callback: the engine sends its messages nowhere, at full speed.
        lib.zrcomp_give_write_method(handle, _WRITES(), None)
    try:
        if lib.zrcomp_set_run_limits(handle, *job["limits"]) != _RESULT:
            raise ValueError("the engine refused the run limits")
        result, description = ctypes.c_void_p(), ctypes.c_void_p()
        number = ctypes.c_int()
        outcome = lib.zrcomp_translate(handle, job["schema"], job["source"],
                                       ctypes.byref(result), ctypes.byref(number),
                                       ctypes.byref(description))
    finally:
        # The thread's state must not keep a callback that dies with this run.
        lib.zrcomp_give_write_method(handle, _WRITES(), None)
    if messages is not None and messages.failure is not None:
        if outcome == _RESULT:
            lib.zrcomp_free_text(result)
        raise messages.failure
    if outcome == _RESULT:
        return _take_text(lib, result)
    # A failure raised to the host (a platform error such as Overflow) is
    # located like an engine error: the run recorded both.
    text = _take_text(lib, description) if outcome == _ERROR and description else ""
    error = _last_error(lib, handle, job["debug"])
    if error is None:
        error = TranslationError(number.value if outcome == _ERROR else 2048,
                                 text or "the translation failed")
    raise error


class _EngineThread:
    """The engine thread of one calling thread. It lives as long as its
    caller: the thread-local object that holds it goes with the caller, and
    then the engine thread ends."""

    def __init__(self):
        self._jobs = queue.SimpleQueue()
        thread = threading.Thread(target=self._serve, args=(self._jobs,), daemon=True,
                                  name="zorvex-engine")
        thread.start()

    @staticmethod
    def _serve(jobs):
        while (work := jobs.get()) is not None:
            work()

    def submit(self, work):
        self._jobs.put(work)

    def __del__(self):
        self._jobs.put(None)


_engine_threads = threading.local()


def _engine_thread():
    engine = getattr(_engine_threads, "engine", None)
    if engine is None:
        engine = _engine_threads.engine = _EngineThread()
    return engine


def _steer(run, on_suspend):
    """Acts on a run that waits for a resume or a step grant."""
    if not (run.suspended or run.stepping):
        return
    if on_suspend == "resume":
        run.resume()
    elif on_suspend == "stop":
        run.stop()
    else:
        on_suspend(run)


def _wait_for(lib, handle, done, on_suspend):
    """Waits in the caller's thread until the run is done, steering it. On
    KeyboardInterrupt the run is stopped (the request is repeated until the
    engine thread has taken it) and the interrupt goes on to the caller."""
    run = Run(lib, handle)
    try:
        while not done.wait(_POLL_SECONDS):
            _steer(run, on_suspend)
    except BaseException:
        while not done.wait(0.005):
            lib.zrcomp_user_terminated(handle)
        raise


def translate(schema: str | bytes, source: str | bytes, *, debug: bool = False,
              on_message: Callable[[str], object] | None = None, timeout: float | None = None,
              max_steps: int | None = None, max_memory: int | None = None, raw: bool = False,
              on_suspend: str | Callable[["Run"], object] = "resume") -> Result:
    """Translates ``source`` under ``schema`` (``str``, or UTF-8 ``bytes``).

    Returns the ``Result`` (see there): the text ``zrtranslate`` writes, or
    with ``raw=True`` the engine's text untouched. Every engine message
    (console messages, traces, the error report) goes to ``on_message(text)``
    when given; without it no message is passed at all. ``debug`` traces the
    whole run. ``timeout`` (seconds), ``max_steps`` (dialog steps) and
    ``max_memory`` (MB the translation's texts may hold; default half of the
    machine) bound the run; a run that reaches a bound fails.

    A schema may suspend its run or switch step mode on. ``on_suspend`` says
    what then happens: ``"resume"`` (the default, as ``zrtranslate`` does with
    no terminal) lets it go on at once, ``"stop"`` stops it, and a callable is
    called with a ``Run`` (``resume()``, ``step()``, ``stop()``) every few
    hundredths of a second while the run waits.

    Raises ``TranslationError`` when the translation fails, and lets a
    ``KeyboardInterrupt`` through after stopping the run."""
    schema_data = _text_bytes(schema, "schema")
    source_data = _text_bytes(source, "source")
    if debug:
        schema_data = _DEBUG_DIRECTIVES + schema_data
    if on_suspend not in ("resume", "stop") and not callable(on_suspend):
        raise ValueError(f"on_suspend must be 'resume', 'stop' or a callable, got {on_suspend!r}")
    memory = _DEFAULT_MEMORY if max_memory is None else _run_limit(max_memory, "max_memory",
                                                                     integer=True)
    job = {"schema": schema_data, "source": source_data, "debug": debug,
           "on_message": on_message,
           "limits": (_run_limit(timeout, "timeout", integer=False),
                      _run_limit(max_steps, "max_steps", integer=True), memory)}
    if getattr(_engine_threads, "running", False):
        # Called from on_message: the engine refuses a translation inside
        # another on the same thread, and so does the module.
        raise TranslationError(_TRANSLATION_RUNNING, "a translation is already running on "
                               "this thread")
    lib = _engine_library()
    handle = lib.zrcomp_create()
    if not handle:
        raise MemoryError("cannot create an engine")
    done = threading.Event()
    outcome = {}

    def work():
        _engine_threads.running = True
        try:
            outcome["raw"] = _run_translation(lib, handle, job)
        except BaseException as error:  # noqa: B036 - raised in the caller's thread
            outcome["error"] = error
        finally:
            _engine_threads.running = False
            done.set()

    try:
        _engine_thread().submit(work)
        _wait_for(lib, handle, done, on_suspend)
    finally:
        lib.zrcomp_destroy(handle)
    if "error" in outcome:
        raise outcome["error"]
    return Result.from_raw(outcome["raw"], keep_raw=raw)
