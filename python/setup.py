"""Builds the zorvex wheel: the module with its own copy of the engine library.

The project's CMake builds the library alone (no desktop program, no tests)
in build-wheel/ at the top of the checkout, and writes the module's
_version.py from the project's one version number. The wheel holds the
library as libzrdll.so.1 beside the module, which loads that copy first.
"""

import shutil
import subprocess
from pathlib import Path

from setuptools import Distribution, setup
from setuptools.command.build_py import build_py

try:  # setuptools 70.1 and later have their own
    from setuptools.command.bdist_wheel import bdist_wheel
except ImportError:  # older ones, Debian 12's among them, take the wheel package's
    from wheel.bdist_wheel import bdist_wheel

ROOT = Path(__file__).resolve().parent.parent
BUILD = ROOT / "build-wheel"
SONAME = "libzrdll.so.1"


def configure() -> None:
    """Configures the CMake build (quick when it is there already)."""
    subprocess.run(["cmake", "-S", str(ROOT), "-B", str(BUILD), "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=Release", "-DZR_GUI=OFF", "-DZR_TESTS=OFF"],
                   check=True, stdout=subprocess.DEVNULL)


def project_version() -> str:
    """The version CMake wrote into _version.py."""
    names: dict = {}
    exec((BUILD / "python" / "_version.py").read_text(), names)
    return names["__version__"]


class BuildWithLibrary(build_py):
    """Adds the library and _version.py to the module's files."""

    def run(self) -> None:
        super().run()
        subprocess.run(["cmake", "--build", str(BUILD), "--target", "zrdll"], check=True)
        module = Path(self.build_lib) / "zorvex"
        shutil.copyfile(BUILD / "engine" / SONAME, module / SONAME)
        shutil.copyfile(BUILD / "python" / "_version.py", module / "_version.py")


class WithNativeLibrary(Distribution):
    """The module's files hold a native library: they install where platform
    dependent modules go."""

    def has_ext_modules(self) -> bool:
        return True


class PlatformWheel(bdist_wheel):
    """The wheel fits one platform, yet any Python 3 there: the module reaches
    the library through ctypes."""

    def get_tag(self) -> tuple:
        _, _, platform = super().get_tag()
        return "py3", "none", platform


configure()
setup(version=project_version(), distclass=WithNativeLibrary,
      cmdclass={"build_py": BuildWithLibrary, "bdist_wheel": PlatformWheel})
