# The 32-bit Windows build's own targets, included from src/CMakeLists.txt:
# the Win32 half of the platform layer, plumagectl.exe and plumage.exe. The
# program library plumage_core is the very one the Linux build uses.
set(PLUMAGE_SRC ${PROJECT_SOURCE_DIR}/src)

# Wide (UTF-16) calls throughout: the program's UTF-8 text crosses to
# UTF-16 at the platform boundary, so any folder name is reachable. UNICODE
# makes a call written without its A or W suffix the wide one too. Windows
# XP is the oldest system whose calls are used; newer ones (per-monitor
# DPI) are looked up at run time.
add_library(plumage_win32_defs INTERFACE)
target_compile_definitions(plumage_win32_defs INTERFACE
  WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)

# An executable's manifest (common controls 6, DPI awareness, supported
# systems, asInvoker) and version resource, made from the project's version.
function(plumage_executable_resources target stem description)
  set(PLUMAGE_EXE_STEM ${stem})
  set(PLUMAGE_EXE_NAME ${stem}.exe)
  set(PLUMAGE_EXE_DESCRIPTION "${description}")
  set(PLUMAGE_EXE_MANIFEST ${CMAKE_BINARY_DIR}/generated/${stem}.manifest)
  set(rc ${CMAKE_BINARY_DIR}/generated/${stem}_executable.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/plumage.manifest.in ${PLUMAGE_EXE_MANIFEST}
    @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/executable.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${PLUMAGE_EXE_MANIFEST})
endfunction()

file(GLOB PLUMAGE_WIN32_SOURCES CONFIGURE_DEPENDS ${PLUMAGE_SRC}/platform/win32/*.cpp)
add_library(plumage_win32 STATIC ${PLUMAGE_WIN32_SOURCES})
target_link_libraries(plumage_win32
  PUBLIC plumage_core plumage_win32_defs
         advapi32 shell32 user32 gdi32 comctl32 comdlg32 winmm ole32 oleaut32 windowscodecs uuid
  PRIVATE plumage_warnings)

# CLI11 is header-only; its Debian headers sit in /usr/include, which must
# not be searched whole by a cross-compiler, so the build gets a copy of
# the CLI folder alone.
set(PLUMAGE_CLI11_HEADERS /usr/include/CLI CACHE PATH "CLI11's header folder (CLI)")
if(NOT EXISTS ${PLUMAGE_CLI11_HEADERS}/CLI.hpp)
  message(FATAL_ERROR "CLI11 headers not found in ${PLUMAGE_CLI11_HEADERS} (Debian: libcli11-dev)")
endif()
file(COPY ${PLUMAGE_CLI11_HEADERS}/ DESTINATION ${CMAKE_BINARY_DIR}/third_party/include/CLI)
add_library(plumage_cli11 INTERFACE)
target_include_directories(plumage_cli11 SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/third_party/include)

file(GLOB PLUMAGECTL_SOURCES CONFIGURE_DEPENDS ${PLUMAGE_SRC}/cli/*.cpp)
add_executable(plumagectl ${PLUMAGECTL_SOURCES})
target_link_libraries(plumagectl PRIVATE plumage_win32 plumage_cli11 plumage_warnings)
plumage_executable_resources(plumagectl plumagectl "Plumage for scripts and administrators")

# plumage.exe: the Win32 dialogs over the same forms, a GUI-subsystem
# program. Its views live in a library (plumage_ui_win32) so that tests can
# drive them; main.cpp is the entry alone, *.rc the artwork and dialogs.
if(EXISTS ${PLUMAGE_SRC}/ui/win32/main.cpp)
  file(GLOB PLUMAGE_UI_WIN32_SOURCES CONFIGURE_DEPENDS ${PLUMAGE_SRC}/ui/win32/*.cpp)
  list(FILTER PLUMAGE_UI_WIN32_SOURCES EXCLUDE REGEX "/ui/win32/main\\.cpp$")
  file(GLOB PLUMAGE_UI_WIN32_RC CONFIGURE_DEPENDS ${PLUMAGE_SRC}/ui/win32/*.rc)
  add_library(plumage_ui_win32 STATIC ${PLUMAGE_UI_WIN32_SOURCES}
    ${PLUMAGE_SRC}/platform/win32/native_platform.h)
  set_target_properties(plumage_ui_win32 PROPERTIES LINKER_LANGUAGE CXX)
  target_link_libraries(plumage_ui_win32 PUBLIC plumage_win32 PRIVATE plumage_warnings)
  add_executable(plumage WIN32 ${PLUMAGE_SRC}/ui/win32/main.cpp ${PLUMAGE_UI_WIN32_RC})
  target_link_libraries(plumage PRIVATE plumage_ui_win32 plumage_warnings)
  plumage_executable_resources(plumage plumage "Plumage: gives a folder an icon of its own")
  install(TARGETS plumage RUNTIME DESTINATION .)
endif()
install(TARGETS plumagectl RUNTIME DESTINATION .)

# The installer (cmake/windows/installer.nsi), made with makensis: what a
# Windows user downloads.
if(TARGET plumage)
  find_program(PLUMAGE_MAKENSIS makensis REQUIRED)
  set(PLUMAGE_INSTALLER ${CMAKE_BINARY_DIR}/plumage-${PROJECT_VERSION}-setup.exe
    CACHE INTERNAL "The Windows installer")
  set(nsi ${PROJECT_SOURCE_DIR}/cmake/windows/installer.nsi)
  add_custom_command(OUTPUT ${PLUMAGE_INSTALLER}
    COMMAND ${PLUMAGE_MAKENSIS} -V2 -NOCD
      -DVERSION=${PROJECT_VERSION} -DVERSION4=${PROJECT_VERSION}.0
      -DPLUMAGE_EXE=$<TARGET_FILE:plumage> -DPLUMAGECTL_EXE=$<TARGET_FILE:plumagectl>
      -DPLUMAGE_ICON=${PLUMAGE_SRC}/ui/win32/art/plumage.ico
      -DOUTFILE=${PLUMAGE_INSTALLER} ${nsi}
    DEPENDS plumage plumagectl ${nsi} ${PLUMAGE_SRC}/ui/win32/art/plumage.ico
    COMMENT "Making the installer plumage-${PROJECT_VERSION}-setup.exe"
    VERBATIM)
  add_custom_target(installer ALL DEPENDS ${PLUMAGE_INSTALLER})
endif()
