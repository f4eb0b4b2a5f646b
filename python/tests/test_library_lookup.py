"""Where the module looks for the engine library, in order."""

import pytest

import zorvex


@pytest.mark.parametrize("explicit, own_copy, expected", [
    # ZRDLL_LIBRARY wins over everything, a wheel's own copy among it.
    ("/elsewhere/libzrdll.so", True, ["/elsewhere/libzrdll.so"]),
    # A wheel's copy comes before the system's library.
    (None, True, ["{module}/libzrdll.so.1", "libzrdll.so.1"]),
    # Else the system's, by the SONAME of the ABI the module speaks.
    (None, False, ["libzrdll.so.1"]),
])
def test_library_candidates(tmp_path, monkeypatch, explicit, own_copy, expected):
    module = tmp_path / "zorvex"
    module.mkdir()
    if own_copy:
        (module / "libzrdll.so.1").write_bytes(b"")
    monkeypatch.setattr(zorvex, "__file__", str(module / "__init__.py"))
    if explicit:
        monkeypatch.setenv("ZRDLL_LIBRARY", explicit)
    else:
        monkeypatch.delenv("ZRDLL_LIBRARY", raising=False)
    assert zorvex._library_candidates() == [c.format(module=module) for c in expected]
