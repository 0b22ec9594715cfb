# Cross-compiles for another of Debian's architectures with its cross compilers (package
# g++-TRIPLET, e.g. g++-aarch64-linux-gnu) and runs the programs the build runs under qemu-user:
#   cmake -S . -B build-arm64 -G Ninja --toolchain cmake/debian-cross.cmake -DCHESS_DEB_ARCH=arm64
# CHESS_DEB_ARCH is the architecture as Debian names it; `cpack -G DEB` then makes its package.
set(CMAKE_SYSTEM_NAME Linux)
# Checks that build test projects read this file again, without the cache: the environment
# carries the architecture to them.
if(CHESS_DEB_ARCH)
  set(ENV{CHESS_DEB_ARCH} "${CHESS_DEB_ARCH}")
else()
  set(CHESS_DEB_ARCH "$ENV{CHESS_DEB_ARCH}")
endif()

# Each architecture: Debian's name, the GNU triplet of its compilers, the processor, qemu's name.
set(CHESS_CROSS_TARGETS
    "arm64 aarch64-linux-gnu aarch64 aarch64"
    "armhf arm-linux-gnueabihf armv7l arm"
    "i386 i686-linux-gnu i686 i386"
    "ppc64el powerpc64le-linux-gnu ppc64le ppc64le"
    "s390x s390x-linux-gnu s390x s390x"
    "riscv64 riscv64-linux-gnu riscv64 riscv64")
foreach(target IN LISTS CHESS_CROSS_TARGETS)
  separate_arguments(target)
  list(GET target 0 arch)
  if(arch STREQUAL "${CHESS_DEB_ARCH}")
    list(GET target 1 CHESS_CROSS_TRIPLET)
    list(GET target 2 CMAKE_SYSTEM_PROCESSOR)
    list(GET target 3 qemu)
  endif()
endforeach()
if(NOT CHESS_CROSS_TRIPLET)
  message(FATAL_ERROR "CHESS_DEB_ARCH is '${CHESS_DEB_ARCH}'; give one of arm64, armhf, i386, "
                      "ppc64el, s390x, riscv64")
endif()

set(CMAKE_C_COMPILER ${CHESS_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${CHESS_CROSS_TRIPLET}-g++)
# The target's C and C++ runtime live under /usr/TRIPLET, where qemu finds them too.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${qemu} -L /usr/${CHESS_CROSS_TRIPLET})

# Libraries and headers come from the target's tree only; programs (cmake, ninja) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${CHESS_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
