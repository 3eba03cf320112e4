"""Packaging for tov_touch.

CMakeLists.txt stays the one build definition: build_ext runs CMake for the interpreter that runs
this script and copies the module it built; nothing here lists the C++ sources. The two sibling
modules come from forms/, the type stubs from stubs/.

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
SIBLINGS = ["tov_touchui", "tov_wxtools"]


class CMakeExtension(Extension):
    """An extension whose sources CMakeLists.txt knows; setuptools compiles nothing itself."""

    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):

    def build_extension(self, ext):
        build_dir = os.path.join(os.path.abspath(self.build_temp), "cmake")
        config = "Debug" if self.debug else "Release"
        configure = ["cmake", "-S", ROOT, "-B", build_dir,
                     "-DPython3_EXECUTABLE=" + sys.executable, "-DCMAKE_BUILD_TYPE=" + config]
        if sys.platform == "win32" and not os.environ.get("CMAKE_GENERATOR"):
            # Visual Studio generators build for the host's architecture unless told; the
            # module must match the interpreter's, so a 32-bit CPython gets a Win32 build.
            configure += ["-A", "x64" if struct.calcsize("P") == 8 else "Win32"]
        self.spawn(configure)
        command = ["cmake", "--build", build_dir, "--config", config, "--target", "tov_touch"]
        if not os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL"):
            command += ["--parallel", str(os.cpu_count() or 1)]
        self.spawn(command)

        # Every generator, Visual Studio's included, puts the module in the build directory itself.
        suffix = ".pyd" if sys.platform == "win32" else ".so"
        built = sorted(glob.glob(os.path.join(build_dir, ext.name + "*" + suffix)))
        if len(built) != 1:
            raise RuntimeError("expected one %s module under %s, found %r"
                               % (ext.name, build_dir, built))
        target = self.get_ext_fullpath(ext.name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(built[0], target)


class BuildWithStubs(build_py):
    """The modules from forms/, plus their stubs, placed two ways.

    Beside each module as name.pyi, where editors and language servers look first; and as a
    PEP 561 stub-only package name-stubs/, which is where mypy looks in site-packages (it does
    not read stubs of single-file modules otherwise). py.typed marks each stub package complete.
    """

    def run(self):
        super().run()
        for name in ["tov_touch"] + SIBLINGS:
            stub = os.path.join(STUBS, name + ".pyi")
            self.copy_file(stub, os.path.join(self.build_lib, name + ".pyi"))
            package = os.path.join(self.build_lib, name + "-stubs")
            self.mkpath(package)
            self.copy_file(stub, os.path.join(package, "__init__.pyi"))
            marker = os.path.join(package, "py.typed")
            if not self.dry_run:
                open(marker, "w").close()


# Keep setuptools' own work apart from the CMake tree that `make build` keeps in build/, and its
# egg-info out of forms/.
WORK = os.path.join("build", "python")
os.makedirs(WORK, exist_ok=True)

setup(
    package_dir={"": "forms"},
    py_modules=SIBLINGS,
    ext_modules=[CMakeExtension("tov_touch")],
    cmdclass={"build_ext": CMakeBuild, "build_py": BuildWithStubs},
    options={"build": {"build_base": WORK}, "egg_info": {"egg_base": WORK}},
    zip_safe=False,
)
