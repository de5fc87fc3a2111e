"""Convert legacy barcode-reading settings templates into capture-flow templates.

    import lumiflow
    converted = lumiflow.convert(open("old.json", "rb").read())
    open("new.json", "w").write(converted.output)
    print(converted.report["changes"])

Texts are str or bytes. The interpreter's lock is released while the library
converts or checks, so threads convert at once.
"""

import json

from . import _lumiflow

__all__ = ["Error", "Conversion", "Check", "convert", "check", "schema", "__version__"]

__version__ = _lumiflow.version()


class Error(Exception):
    """A template that did not convert: `code` (negative) and `message`, the
    lines the converter prints for the file after its first."""

    def __init__(self, code, message):
        super().__init__(f"{code}: {message}")
        self.code = code
        self.message = message


class Conversion:
    """A converted template: `output`, the template's text, and `report`, the
    file's entry of the converter's JSON report (names, "notCarriedOver",
    "changes")."""

    __slots__ = ("output", "report")

    def __init__(self, output, report):
        self.output = output
        self.report = report

    def __repr__(self):
        return f"Conversion(output=<{len(self.output)} characters>, report={self.report!r})"


class Check:
    """The checker's verdict on a template: `ok`, and for a failure its `code`
    and `message`. True when the template passed."""

    __slots__ = ("ok", "code", "message")

    def __init__(self, ok, code, message):
        self.ok = ok
        self.code = code
        self.message = message

    def __bool__(self):
        return self.ok

    def __repr__(self):
        return f"Check(ok={self.ok!r}, code={self.code!r}, message={self.message!r})"


def convert(text):
    """The legacy template `text` converted; raises Error when it does not
    convert (a template already in the current format included)."""
    ok, code, message, output, report = _lumiflow.convert(text)
    if not ok:
        raise Error(code, message)
    return Conversion(output, json.loads(report))


def check(text, strict=False):
    """The checker's verdict on the current-format template `text`, as
    lumiflow-check (--strict) gives it."""
    ok, code, message, _, _ = _lumiflow.check(text, bool(strict))
    return Check(ok, code, message)


def schema():
    """The JSON Schema of a template, as a dict."""
    return json.loads(_lumiflow.schema()[3])
