# The tests of the 32-bit Windows build, run under Wine through CTest's
# cross-compiling emulator (cmake/wine-run.sh.in: a prefix of its own inside
# the build folder). Each test executable is one CTest test, since every
# start of a Windows program costs Wine a few tenths of a second; a fixture
# keeps one wineserver alive across the run. Left out: the tests that start
# Linux programs or test the Linux platform half, and the Qt view tests.
find_program(PLUMAGE_WINE wine REQUIRED)
find_program(PLUMAGE_WINESERVER wineserver REQUIRED)
set(PLUMAGE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
  @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
  WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

# GoogleTest from Debian's sources (package googletest), cross-compiled.
set(PLUMAGE_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree")
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${PLUMAGE_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The prefix is made once, then one wineserver serves the whole run.
add_test(NAME wine_prefix
  COMMAND ${CMAKE_BINARY_DIR}/wine-run.sh --server)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine LABELS wine)

add_library(plumage_test_support STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/support/fakes.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/temp_dir.cpp)
target_include_directories(plumage_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(plumage_test_support PUBLIC plumage_win32 gtest gmock PRIVATE plumage_warnings)
target_compile_definitions(plumage_test_support PUBLIC PLUMAGE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

# plumage_add_gtest(<name> LABELS <labels...> SOURCES <files...> [LIBS <libs...>] [ENV <k=v...>])
function(plumage_add_gtest name)
  cmake_parse_arguments(ARG "" "" "LABELS;SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE plumage_test_support gtest_main plumage_warnings ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS};wine" FIXTURES_REQUIRED wine
    ENVIRONMENT "${ARG_ENV}")
endfunction()

set(T ${CMAKE_CURRENT_SOURCE_DIR})
plumage_add_gtest(test_image LABELS unit
  SOURCES ${T}/image/bmp_reader_test.cpp ${T}/image/dib_section_test.cpp
          ${T}/image/golden_test.cpp ${T}/image/palette_test.cpp ${T}/image/surfaces_test.cpp)
plumage_add_gtest(test_profile LABELS unit SOURCES ${T}/profile/profile_engine_test.cpp)
plumage_add_gtest(test_files LABELS unit SOURCES ${T}/files/dos_attrib_test.cpp)

# The icon and platform tests of this build.
add_subdirectory(${T}/win32 ${CMAKE_CURRENT_BINARY_DIR}/win32)

# The settings dialog, the about box and the shell icon cache control.
plumage_add_gtest(test_dialogs LABELS unit SOURCES ${T}/dialogs/dialogs_test.cpp)
plumage_add_gtest(test_shellcache LABELS unit SOURCES ${T}/shellcache/icon_cache_manager_test.cpp)

# The Win32 front end's windows and plumage.exe from end to end, each on a
# display of its own (Xvfb).
add_subdirectory(${T}/win32_ui ${CMAKE_CURRENT_BINARY_DIR}/win32_ui)
