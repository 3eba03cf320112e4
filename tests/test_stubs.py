"""The type stubs under stubs/ against the built module, and the signatures they rest on.

stubtest compares each stub with what inspect.signature reports on the live module; where a
signature cannot be read it skips the comparison silently, so the function objects' own
signatures are checked here too.
"""
import inspect
import os
import pydoc
import re
import subprocess
import sys

import pytest

import tov_touch

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
STUBS = os.path.join(ROOT, "stubs")
FUNCTION = type(tov_touch.input_text)

pytestmark = pytest.mark.timeout(120)


def _function_objects():
    """(qualified name, function) for every function object the module holds, found by walking
    its namespace and its classes' namespaces, so a new method cannot be missed."""
    found = []
    for name, value in vars(tov_touch).items():
        if isinstance(value, FUNCTION):
            found.append((name, value))
        elif isinstance(value, type) and value.__module__ == "tov_touch":
            for entry, member in vars(value).items():
                if isinstance(member, property):
                    members = [member.fget, member.fset]
                elif isinstance(member, staticmethod):
                    members = [member.__func__]
                else:
                    members = [member]
                found.extend(("%s.%s" % (name, entry), m) for m in members
                             if isinstance(m, FUNCTION))
    return found


def test_stubtest_reports_nothing(tmp_path):
    env = dict(os.environ)
    env["PYTHONPATH"] = os.pathsep.join(p for p in sys.path if p)
    env["MYPYPATH"] = STUBS
    result = subprocess.run(
        [sys.executable, "-m", "mypy.stubtest", "--mypy-config-file",
         os.path.join(ROOT, "pyproject.toml"), "--allowlist",
         os.path.join(STUBS, "stubtest-allowlist.txt"), "tov_touch", "tov_touchui", "tov_wxtools"],
        cwd=str(tmp_path), env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
        universal_newlines=True, timeout=100)
    assert result.returncode == 0, result.stdout
    assert "Success: no issues found" in result.stdout


def test_every_function_object_has_a_real_signature():
    functions = _function_objects()
    assert len(functions) > 40
    for qualname, function in functions:
        signature = inspect.signature(function)
        code = function.__code__
        kinds = {p.kind for p in signature.parameters.values()}
        assert kinds <= {inspect.Parameter.POSITIONAL_OR_KEYWORD}, qualname
        assert tuple(signature.parameters) == code.co_varnames[:code.co_argcount], qualname
        defaults = function.__defaults__ or ()
        tail = list(signature.parameters.values())[len(signature.parameters) - len(defaults):]
        assert tuple(p.default for p in tail) == defaults, qualname


def _annotation_pattern(annotation):
    """How help() may spell an annotation: a string one quoted (before 3.14) or bare (3.14 on)."""
    if isinstance(annotation, str):
        return "'?%s'?" % re.escape(annotation)
    return re.escape(inspect.formatannotation(annotation))


def _signature_pattern(title, signature):
    """A pattern for `title(parameters) -> return` as help() prints it: the same parameters with the
    same defaults and annotations, on one line or, as pydoc does from 3.13 for long ones, one
    parameter a line."""
    parameters = []
    for p in signature.parameters.values():
        text = re.escape(p.name)
        if p.annotation is not p.empty:
            text += r"\s*:\s*" + _annotation_pattern(p.annotation)
        if p.default is not p.empty:
            text += r"\s*=\s*" + re.escape(repr(p.default))
        parameters.append(text)
    pattern = title + r"\(\s*" + r",\s*".join(parameters) + r",?\s*\)"
    if signature.return_annotation is not signature.empty:
        pattern += r"\s*->\s*" + _annotation_pattern(signature.return_annotation)
    return pattern + "$"


def test_help_shows_every_callable_with_its_signature():
    text = pydoc.render_doc(tov_touch, renderer=pydoc.plaintext)
    text = re.sub(r"(?m)^ *\| ?", "", text)  # the margin of the class sections
    checked = 0
    for qualname, function in _function_objects():
        owner, _, name = qualname.rpartition(".")
        if owner.startswith("_") or name.startswith("_") and name != "__init__":
            continue  # pydoc lists public names only
        if owner and isinstance(vars(getattr(tov_touch, owner))[name], property):
            pattern = r"^\s*%s$" % name  # listed by name under "Data descriptors"
        elif name == "__init__":
            pattern = _signature_pattern(owner, inspect.signature(getattr(tov_touch, owner)))
        elif name != function.__name__:  # GetValue and SetValue are the same objects
            pattern = _signature_pattern("%s = %s" % (name, function.__name__),
                                         inspect.signature(function))
        else:
            pattern = _signature_pattern(name, inspect.signature(function))
        assert re.search("(?m)^ *" + pattern, text), qualname
        checked += 1
    assert checked > 30
