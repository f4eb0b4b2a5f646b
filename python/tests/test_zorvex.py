"""The zorvex module over the engine library built in this tree."""

import os
import pickle
import signal
import threading
import time

import pytest

import zorvex

HELLO = "\\\\schema main\n-r\n  _hello `Hi` 1 -e\n\\\\end schema\n\\\\end file\n"
# Fills the three header lines, then prints and ends.
HEADERS = ("\\\\schema main\n-r\n  _a ..redirect#out.txt 0\n  _b ..reengine#next 0\n"
           "  _c ..save 0\n  _bye `Bye` 1 -e\n\\\\end schema\n\\\\end file\n")
NOT_UNDERSTOOD = ("\\\\schema main\n-r\n  _begin `B` 1 body\nbody\n  _x .t 0\n"
                  "\\\\end schema\n\\\\end file\n")
# An event that queues itself again: only a limit ends the run.
RUNAWAY = "\\\\schema t\n-r\n  _x `1` 0 +.d\n\\\\end schema\n\\\\end file\n"


def test_result_is_what_the_command_line_writes_with_the_header_lines_beside_it():
    result = zorvex.translate(HEADERS, "a b c bye")
    assert (result, result.redirect, result.reengine, result.save) == (
        "out.txt\nnext,\n.,\n\r\nBye", "out.txt", "next,", ".,")
    assert result.raw == "out.txt\nnext,\n.,\n\r\nBye"
    copy = pickle.loads(pickle.dumps(result))
    assert (copy, copy.redirect, copy.reengine, copy.save, copy.raw) == (
        result, result.redirect, result.reengine, result.save, result.raw)
    plain = zorvex.translate(HELLO, b"hello")
    assert (plain, plain.raw, plain.redirect, plain.save) == ("Hi", "\n\n\n\r\nHi", "", "")
    assert zorvex.translate(HELLO, "hello", raw=True) == "\n\n\n\r\nHi"
    # A run that prints nothing gives nothing, as the command line writes nothing.
    silent = "\\\\schema main\n-r\n  _hello `` 1 -e\n\\\\end schema\n\\\\end file\n"
    assert zorvex.translate(silent, "hello") == ""


@pytest.mark.parametrize("schema, source, options, shown, number, first_line", [
    ("no schema here", "hello", {}, "schema:1:1", 2048, "no `\\\\schema` string ..."),
    # The two lines put in front of the schema for tracing are not counted.
    ("no schema here", "hello", {"debug": True}, "schema:1:1", 2048,
     "no `\\\\schema` string ..."),
    (NOT_UNDERSTOOD, "begin x\ny z", {}, "source:2:1", 2048, "TEXT IS NOT UNDERSTOOD: "),
    (RUNAWAY, "x", {"max_steps": 1000}, "source:1:1", 2048,
     "run stopped: step limit of 1000 dialog steps reached"),
    (RUNAWAY, "x", {"timeout": 0.05}, "source:1:1", 2048,
     "run stopped: time limit of 0.05 seconds reached"),
])
def test_failures_carry_number_description_and_place(schema, source, options, shown, number,
                                                      first_line):
    messages = []
    with pytest.raises(zorvex.TranslationError) as caught:
        zorvex.translate(schema, source, on_message=messages.append, **options)
    error = caught.value
    assert str(error) == f"{shown}: error: {first_line}"
    assert (error.number, error.message) == (number, first_line)
    assert error.description.startswith(first_line + "\r\n")
    # The same report reached on_message.
    assert messages[-1] == f'\r\nin "translate" module\r\n{number} * {error.description}'


def test_limits_belong_to_one_call():
    with pytest.raises(zorvex.TranslationError):
        zorvex.translate(RUNAWAY, "x", max_steps=10)
    assert zorvex.translate(HELLO, "hello") == "Hi"


def test_messages_and_traces():
    messages = []
    zorvex.translate(HELLO, "hello", on_message=messages.append)
    assert messages == ["\r\nHi"]
    traced = []
    assert zorvex.translate(HELLO, "hello", debug=True, on_message=traced.append) == "Hi"
    assert "\\\\debug dialog=True\r\n" in "".join(traced)
    assert len(traced) > 20


def test_a_failing_on_message_stops_the_run_and_is_raised():
    def refuse(_message):
        raise KeyError("full")

    with pytest.raises(KeyError, match="full"):
        zorvex.translate(RUNAWAY, "x", on_message=refuse, debug=True)


@pytest.mark.parametrize("call, error", [
    (lambda: zorvex.translate(HELLO, "hel\0lo"), ValueError),
    (lambda: zorvex.translate(HELLO, "hello", timeout=0), ValueError),
    (lambda: zorvex.translate(HELLO, "hello", timeout=float("nan")), ValueError),
    (lambda: zorvex.translate(HELLO, "hello", max_steps=-1), ValueError),
    (lambda: zorvex.translate(HELLO, "hello", max_steps=2**63), ValueError),
    (lambda: zorvex.translate(HELLO, "hello", max_steps=1.5), TypeError),
    (lambda: zorvex.translate(HELLO, "hello", timeout="1"), TypeError),
])
def test_bad_arguments_are_refused_before_the_run(call, error):
    with pytest.raises(error):
        call()


def test_threads_translate_at_once_each_with_its_own_messages():
    words = [f"w{i}" for i in range(8)]
    schema = "\\\\schema main\n-r\n  .id .t 0\n  .eot `` 1 -e\n\\\\end schema\n\\\\end file\n"
    alone = {w: zorvex.translate(schema, f"{w} {w}") for w in words}
    seen, messages, errors = {}, {w: [] for w in words}, []

    def run(word):
        try:
            for _ in range(20):
                seen[word] = zorvex.translate(schema, f"{word} {word}", debug=True,
                                              on_message=messages[word].append)
            with pytest.raises(zorvex.TranslationError):
                zorvex.translate(RUNAWAY, "x", max_steps=50)
        except BaseException as error:  # noqa: B036 - reported by the main thread
            errors.append(error)

    threads = [threading.Thread(target=run, args=(w,)) for w in words]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert errors == []
    assert seen == alone
    for word in words:
        others = [w for w in words if w != word]
        trace = "".join(messages[word])
        assert f"tocken=`{word}`" in trace
        assert not any(f"tocken=`{w}`" in trace for w in others)


SUSPENDS = ("\\\\schema main\n-r\n  _hello ..suspend 0\n  .eot `` 1 -e\n"
            "\\\\end schema\n\\\\end file\n")


def test_a_suspended_run_resumes_stops_or_asks_as_told():
    assert zorvex.translate(SUSPENDS, "hello") == ""
    with pytest.raises(zorvex.TranslationError) as caught:
        zorvex.translate(SUSPENDS, "hello", on_suspend="stop")
    assert (caught.value.message, caught.value.stopped) == ("user ordered to terminate", "host")
    seen = []

    def ask(run):
        seen.append((run.suspended, run.steps_taken))
        run.resume()

    assert zorvex.translate(SUSPENDS, "hello", on_suspend=ask) == ""
    assert len(seen) == 1 and seen[0][0]  # asked once, while the run was suspended


def test_ctrl_c_stops_the_run_and_reaches_the_caller():
    timer = threading.Timer(0.3, lambda: os.kill(os.getpid(), signal.SIGINT))
    timer.start()
    started = time.monotonic()
    with pytest.raises(KeyboardInterrupt):
        zorvex.translate(RUNAWAY, "x")
    # Well within a second of the signal, however loaded the machine.
    assert time.monotonic() - started < 2
    assert zorvex.translate(HELLO, "hello") == "Hi"  # the next run is not stopped


def test_failures_without_on_message_still_tell_everything():
    with pytest.raises(zorvex.TranslationError) as caught:
        zorvex.translate(RUNAWAY, "x", max_steps=10)
    error = caught.value
    assert (error.number, error.stopped, error.line, error.column) == (2048, "limit", 1, 1)
    assert error.error_line("s.txt", "x.inc") == (
        "x.inc:1:1: error: run stopped: step limit of 10 dialog steps reached")
    unknown_state = ("\\\\schema main\n-r\n  _a `x` 1 nowhere\n\\\\end schema\n"
                     "\\\\end file\n")
    with pytest.raises(zorvex.TranslationError) as caught:
        zorvex.translate(unknown_state, "a")
    assert caught.value.error_line("s.txt", "x.inc").count("\ns.txt:") == 1  # the note line


def test_a_translation_inside_on_message_is_refused_and_the_outer_one_goes_on():
    refused = []

    def nested(_message):
        try:
            zorvex.translate(HELLO, "hello")
        except zorvex.TranslationError as error:
            refused.append(error.number)

    assert zorvex.translate(HELLO, "hello", on_message=nested) == "Hi"
    assert refused == [10]


def test_no_callback_is_installed_without_on_message(monkeypatch):
    def no_channel(*_args):
        raise AssertionError("a message channel was made without on_message")

    monkeypatch.setattr(zorvex, "_Messages", no_channel)
    assert zorvex.translate(HELLO, "hello") == "Hi"
