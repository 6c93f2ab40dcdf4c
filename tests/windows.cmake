# The tests of the 32-bit Windows build, run under Wine through CTest's
# cross-compiling emulator. GoogleTest is built here from Debian's sources
# (package googletest) with the cross-compiler.
set(PLUMAGE_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree")
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${PLUMAGE_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
