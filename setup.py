"""Packaging for tov_touch.

CMakeLists.txt stays the one build definition: build_ext runs CMake for the interpreter that runs
this script and copies the module it built; nothing here lists the C++ sources. The two sibling
modules come from forms/, the type stubs from stubs/. The optional tov_pinyin module is built
and installed where CMake found the pinyin engine (Debian: libgooglepinyin0-dev).

    python3 -m pip install . --no-build-isolation                 # into the active venv
    python3 -m pip wheel . --no-build-isolation --no-deps -w dist # a wheel for this CPython
"""
import glob
import os
import shutil
import struct
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext
from setuptools.command.build_py import build_py

ROOT = os.path.dirname(os.path.abspath(__file__))
STUBS = os.path.join(ROOT, "stubs")
SIBLINGS = ["tov_touchui", "tov_wxtools"]  # a package and a module, both under forms/


class CMakeExtension(Extension):
    """An extension whose sources CMakeLists.txt knows; setuptools compiles nothing itself.

    `cache_flag`: the CMake cache entry that says whether CMake builds this one (an optional
    module); the extension is left out where it is OFF.
    """

    def __init__(self, name, cache_flag=None):
        super().__init__(name, sources=[])
        self.cache_flag = cache_flag


class CMakeBuild(build_ext):

    def run(self):
        self.build_dir = os.path.join(os.path.abspath(self.build_temp), "cmake")
        self.config = "Debug" if self.debug else "Release"
        configure = ["cmake", "-S", ROOT, "-B", self.build_dir,
                     "-DPython3_EXECUTABLE=" + sys.executable, "-DCMAKE_BUILD_TYPE=" + self.config]
        if sys.platform == "win32" and not os.environ.get("CMAKE_GENERATOR"):
            # Visual Studio generators build for the host's architecture unless told; the
            # module must match the interpreter's, so a 32-bit CPython gets a Win32 build.
            configure += ["-A", "x64" if struct.calcsize("P") == 8 else "Win32"]
        self.spawn(configure)
        cache = self._cmake_cache()
        self.extensions = [ext for ext in self.extensions
                           if ext.cache_flag is None or cache.get(ext.cache_flag) == "ON"]
        super().run()

    def _cmake_cache(self):
        """The entries of CMakeCache.txt, name to value."""
        entries = {}
        with open(os.path.join(self.build_dir, "CMakeCache.txt")) as cache:
            for line in cache:
                name, colon, rest = line.partition(":")
                if colon and not line.startswith(("#", "//")):
                    entries[name] = rest.partition("=")[2].strip()
        return entries

    def build_extension(self, ext):
        command = ["cmake", "--build", self.build_dir, "--config", self.config,
                   "--target", ext.name]
        if not os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL"):
            command += ["--parallel", str(os.cpu_count() or 1)]
        self.spawn(command)

        # Every generator, Visual Studio's included, puts the module in the build directory itself.
        suffix = ".pyd" if sys.platform == "win32" else ".so"
        built = sorted(glob.glob(os.path.join(self.build_dir, ext.name + "*" + suffix)))
        if len(built) != 1:
            raise RuntimeError("expected one %s module under %s, found %r"
                               % (ext.name, self.build_dir, built))
        target = self.get_ext_fullpath(ext.name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(built[0], target)
        place_stub(self, ext.name)


def place_stub(command, name):
    """The stub of module `name`, placed two ways in the command's build_lib.

    Beside the module as name.pyi (inside a package as __init__.pyi), where editors and
    language servers look first; and as a
    PEP 561 stub-only package name-stubs/, which is where mypy looks in site-packages (it does
    not read stubs of single-file modules otherwise). py.typed marks each stub package complete.
    """
    stub = os.path.join(STUBS, name + ".pyi")
    beside = os.path.join(command.build_lib, name)
    # A package's stub goes inside it, a module's beside it.
    command.copy_file(stub, os.path.join(beside, "__init__.pyi") if os.path.isdir(beside)
                      else beside + ".pyi")
    package = os.path.join(command.build_lib, name + "-stubs")
    command.mkpath(package)
    command.copy_file(stub, os.path.join(package, "__init__.pyi"))
    marker = os.path.join(package, "py.typed")
    if not command.dry_run:
        open(marker, "w").close()


class BuildWithStubs(build_py):
    """The modules from forms/, plus their stubs (those of the extensions come with them)."""

    def run(self):
        super().run()
        for name in SIBLINGS:
            place_stub(self, name)


# Keep setuptools' own work apart from the CMake tree that `make build` keeps in build/, and its
# egg-info out of forms/.
WORK = os.path.join("build", "python")
os.makedirs(WORK, exist_ok=True)

setup(
    package_dir={"": "forms"},
    packages=["tov_touchui"],
    py_modules=["tov_wxtools"],
    ext_modules=[CMakeExtension("tov_touch"), CMakeExtension("tov_pinyin", "TOV_PINYIN")],
    cmdclass={"build_ext": CMakeBuild, "build_py": BuildWithStubs},
    options={"build": {"build_base": WORK}, "egg_info": {"egg_base": WORK}},
    zip_safe=False,
)
