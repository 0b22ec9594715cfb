# Run by cpack in a cross build (cmake/debian-cross.cmake): the package's dependencies. Debian's
# dpkg-shlibdeps finds no library of another architecture by itself, so it is pointed at the cross
# runtime under /usr/TRIPLET; the cross packages that hold it name their libraries as the target's
# packages with an architecture (libc6:arm64) or as themselves (libgcc-s1-arm64-cross), and the
# package, being of that architecture, names them plainly (libc6). Statically linked programs
# depend on nothing.
set(work "${CPACK_TOPLEVEL_DIRECTORY}/cross-depends")
file(MAKE_DIRECTORY "${work}/debian")
file(WRITE "${work}/debian/control" "")
execute_process(
  COMMAND dpkg-shlibdeps -O -l/usr/${CPACK_CHESS_CROSS_TRIPLET}/lib ${CPACK_CHESS_PROGRAMS}
  WORKING_DIRECTORY "${work}"
  OUTPUT_VARIABLE depends
  RESULT_VARIABLE failed
  ERROR_VARIABLE errors)
if(failed)
  message(FATAL_ERROR "dpkg-shlibdeps failed on ${CPACK_CHESS_PROGRAMS}:\n${errors}")
endif()
string(REGEX REPLACE "^shlibs:Depends=|\n" "" depends "${depends}")
set(arch "${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}")
string(REGEX REPLACE ":${arch}|-${arch}-cross" "" CPACK_DEBIAN_PACKAGE_DEPENDS "${depends}")
