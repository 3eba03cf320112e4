"""The Python packaging: a wheel built through CMake, installed into a fresh venv and used from
outside the source tree; and `pip install .` from a source tree.

Both builds run on a copy of the tracked tree, so they see what a fresh checkout sees and leave
nothing behind in this one. Each venv gets wxPython from the system (--system-site-packages) and
nothing from an index.
"""
import importlib.util
import json
import os
import re
import shutil
import subprocess
import sys
import sysconfig
import textwrap
import zipfile

import pytest

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MODULES = ["tov_touch", "tov_touchui", "tov_wxtools"]

pytestmark = pytest.mark.timeout(300)


def run(command, cwd, timeout=240):
    env = dict(os.environ)
    env.pop("PYTHONPATH", None)  # the Makefile's points at build/: the venv must stand alone
    env["PIP_DISABLE_PIP_VERSION_CHECK"] = "1"  # no index to ask, offline CI included
    result = subprocess.run(command, cwd=str(cwd), env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, universal_newlines=True, timeout=timeout)
    assert result.returncode == 0, "%s\n%s" % (" ".join(map(str, command)), result.stdout)
    return result.stdout


def source_copy(where):
    def skipped(directory, names):
        return [n for n in names if n.startswith(("build", "dist", ".")) or n == "__pycache__"
                or n.endswith(".egg-info")]
    shutil.copytree(ROOT, str(where), ignore=skipped)
    return where


def new_venv(where):
    run([sys.executable, "-m", "venv", "--system-site-packages", str(where)], where.parent)
    if os.name == "nt":
        return where / "Scripts" / "python.exe"
    return where / "bin" / "python"


@pytest.fixture(scope="module")
def wheel_venv(tmp_path_factory):
    base = tmp_path_factory.mktemp("wheel")
    source = source_copy(base / "src")
    dist = base / "dist"
    run([sys.executable, "-m", "pip", "wheel", ".", "--no-build-isolation", "--no-deps",
         "--no-index", "-w", str(dist)], source)
    wheels = list(dist.glob("tov_touch-*.whl"))
    assert len(wheels) == 1, wheels
    python = new_venv(base / "venv")
    run([str(python), "-m", "pip", "install", "--no-deps", "--no-index", str(wheels[0])], base)
    outside = base / "elsewhere"
    outside.mkdir()
    return wheels[0], python, outside


# The Chinese input module is built only where its engine is installed.
PINYIN = ["tov_pinyin"] if importlib.util.find_spec("tov_pinyin") else []

FORM_PARTS = sorted(os.path.splitext(name)[0] for name in os.listdir(
    os.path.join(ROOT, "forms", "tov_touchui")) if name.endswith(".py"))


def test_wheel_holds_the_modules_and_stubs_only(wheel_venv):
    wheel, _, _ = wheel_venv
    names = set(zipfile.ZipFile(str(wheel)).namelist())
    modules = {n for n in names if ".dist-info/" not in n}
    # The file names this interpreter imports: tov_touch.cpython-311-x86_64-linux-gnu.so on
    # Debian, tov_touch.cp311-win_amd64.pyd on 64-bit Windows.
    extensions = {name + sysconfig.get_config_var("EXT_SUFFIX") for name in ["tov_touch"] + PINYIN}
    assert extensions <= modules
    forms = {"tov_touchui/%s.py" % part for part in FORM_PARTS}
    stubs = {stub for name in ["tov_touch", "tov_touchui", "tov_wxtools"] + PINYIN
             for stub in (name + "-stubs/__init__.pyi", name + "-stubs/py.typed")}
    assert modules - extensions - forms - stubs == {
        "tov_touch.pyi", "tov_touchui/__init__.pyi", "tov_wxtools.py", "tov_wxtools.pyi"} | {
        name + ".pyi" for name in PINYIN}


USE = """
    import json, os, sysconfig
    import wx
    import tov_touch, tov_touchui, tov_wxtools

    site = sysconfig.get_paths()["platlib"]
    app = wx.App(False)
    frame = wx.Frame(None, title="host")
    frame.Show()
    pad = tov_touch.DigitKeypad(frame, tov_touch.KEYPAD_MODE_INT, 0, 100, message="Speed:")
    pad.SetValue("42")
    fitted = tov_wxtools.window_fit_layout(pad)
    proxy = tov_touch.DigitKeypadProxy(wx.TextCtrl(frame, value="2.5"), tov_touch.KEYPAD_MODE_FLOAT)
    print(json.dumps({
        "dirs": sorted({os.path.dirname(m.__file__) in (site, os.path.join(site, m.__name__))
                        for m in (tov_touch, tov_touchui, tov_wxtools)}),
        "stubs": sorted(n for n in os.listdir(site) if n.endswith(".pyi") or n.endswith("-stubs")),
        "form": isinstance(pad, tov_touchui.DigitKeypad),
        "prompt": pad.ui_message.GetLabel(),
        "bounds": [pad.ui_minimum.GetLabel(), pad.ui_maxmum.GetLabel()],
        "dot": pad.DotPoint.IsEnabled(),
        "value": pad.GetValue(),
        "fitted": [fitted, pad.GetSize().width > 0],
        "proxy": proxy.get_value(),
    }))
    pad.Destroy()
    frame.Destroy()
"""


def test_the_installed_modules_work_outside_the_tree(wheel_venv):
    _, python, outside = wheel_venv
    output = run([str(python), "-c", textwrap.dedent(USE)], outside, timeout=60)
    assert json.loads(output.strip().splitlines()[-1]) == {
        "dirs": [True],
        "stubs": sorted(["tov_touch-stubs", "tov_touch.pyi", "tov_touchui-stubs",
                         "tov_wxtools-stubs", "tov_wxtools.pyi"]
                        + [n + suffix for n in PINYIN for suffix in ("-stubs", ".pyi")]),
        "form": True,
        "prompt": "Speed:",
        "bounds": ["0", "100"],
        "dot": False,
        "value": "42",
        "fitted": [None, True],
        "proxy": 2.5,
    }


def test_mypy_finds_the_installed_stubs(wheel_venv):
    _, python, outside = wheel_venv
    program = outside / "typed.py"
    program.write_text(textwrap.dedent("""
        import tov_touch
        import tov_wxtools
        reveal_type(tov_touch.input_integer(None))
        reveal_type(tov_touch.DigitKeypad.get_value)
        reveal_type(tov_wxtools.window_fit_layout(None))
    """))
    result = subprocess.run([str(python), "-m", "mypy", "--no-incremental",
                             "--ignore-missing-imports", program.name], cwd=str(outside),
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            universal_newlines=True, timeout=120)
    assert result.returncode == 0, result.stdout
    revealed = re.findall(r'Revealed type is "(.*)"', result.stdout)
    assert [_one_spelling(t) for t in revealed] == [
        "int | None", "def (self: tov_touch.DigitKeypad) -> str", "None"], result.stdout


def _one_spelling(revealed_type):
    """A revealed type as mypy 2 spells it: mypy 1 writes `Union[builtins.int, None]` and
    `builtins.str` for the same `int | None` and `str`."""
    text = revealed_type.replace("builtins.", "")
    return re.sub(r"Union\[([^][]*)\]", lambda m: " | ".join(m.group(1).split(", ")), text)


def test_pip_install_from_source(tmp_path):
    source = source_copy(tmp_path / "src")
    python = new_venv(tmp_path / "venv")
    run([str(python), "-m", "pip", "install", "--no-build-isolation", "--no-deps", "--no-index",
         str(source)], tmp_path)
    shutil.rmtree(str(source))  # what was installed must not lean on the tree it came from
    output = run([str(python), "-c", "import tov_touch, tov_touchui, tov_wxtools, sysconfig; "
                  "print(tov_touch.__file__.startswith(sysconfig.get_paths()['platlib']), "
                  "tov_touch.input_text.__module__)"], tmp_path, timeout=60)
    assert output.split()[-2:] == ["True", "tov_touch"]
