"""pip install --no-build-isolation . : setuptools runs CMake to build the
extension kx._kx (the library, the finder's pieces of app/ and the module
only, Release, no tests) with
the interpreter that runs pip, and packages it with python/kx."""
import os
import pathlib
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = pathlib.Path(self.build_temp).resolve() / "cmake"
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                        "-DKX_BUILD_TESTS=OFF", "-DKX_BUILD_BENCH=OFF", "-DKX_INSTALL=OFF",
                        "-DKX_PYTHON=ON", f"-DPython_EXECUTABLE={sys.executable}"], check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "_kx", "-j", os.environ.get("KX_BUILD_JOBS", "2")],
                       check=True)
        built = next((build / "python" / "kx").glob("_kx*.so"), None)
        if built is None:
            sys.exit("kx: CMake did not build the module kx._kx (pybind11 and the Python development files are needed)")
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


# build-pip: setuptools' own "build" would mix with the CMake build tree.
setup(package_dir={"": "python"}, packages=["kx"], ext_modules=[Extension("kx._kx", sources=[])],
      cmdclass={"build_ext": CMakeBuild}, options={"build": {"build_base": "build-pip"}}, zip_safe=False)
