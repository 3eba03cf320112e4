# Toolchain for building the module for Windows with Debian's mingw-w64 (g++-mingw-w64-*):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DTOUCH_MINGW_ARCH=i686 \
#         -DPython3_INCLUDE_DIR=... -DPython3_LIBRARY=.../libpython311.dll.a
# TOUCH_MINGW_ARCH is i686 (32-bit CPython) or x86_64 (64-bit CPython).
set(TOUCH_MINGW_ARCH x86_64 CACHE STRING "mingw-w64 target architecture: i686 or x86_64")
if(NOT TOUCH_MINGW_ARCH MATCHES "^(i686|x86_64)$")
  message(FATAL_ERROR "TOUCH_MINGW_ARCH must be i686 or x86_64, not '${TOUCH_MINGW_ARCH}'")
endif()
# The compiler checks run in projects of their own, which see only the variables listed here.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TOUCH_MINGW_ARCH)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TOUCH_MINGW_ARCH})
set(CMAKE_CXX_COMPILER ${TOUCH_MINGW_ARCH}-w64-mingw32-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${TOUCH_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
