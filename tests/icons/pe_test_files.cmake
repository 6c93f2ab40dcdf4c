# Real Windows files for the icon tests, made at test build time with
# mingw-w64: make_test_icon_files writes the icon pictures and resource
# scripts into <out>, windres compiles them, gcc links a 32 and a 64-bit
# library with 40 icons, an application with one and one with none. The
# Linux build and the Windows build (whose generator runs under Wine) both
# make them this way.
find_program(PLUMAGE_WINDRES32 i686-w64-mingw32-windres REQUIRED)
find_program(PLUMAGE_WINDRES64 x86_64-w64-mingw32-windres REQUIRED)
find_program(PLUMAGE_MINGW32_GCC i686-w64-mingw32-gcc REQUIRED)
find_program(PLUMAGE_MINGW64_GCC x86_64-w64-mingw32-gcc REQUIRED)

# plumage_add_pe_test_files(<target> <out folder>): the files as the custom
# target <target> (built with ALL); make_test_icon_files must exist.
function(plumage_add_pe_test_files target pe)
  set(pe_sources ${PROJECT_SOURCE_DIR}/tests/icons/pe)
  file(MAKE_DIRECTORY ${pe})
  add_custom_command(
    OUTPUT ${pe}/icons40.rc ${pe}/app.rc
    COMMAND make_test_icon_files ${pe}
    DEPENDS make_test_icon_files
    COMMENT "Icon pictures and resource scripts for the Windows test files")
  add_custom_command(
    OUTPUT ${pe}/icons40_32.dll ${pe}/icons40_64.dll ${pe}/app.exe ${pe}/noicons.exe
    COMMAND ${PLUMAGE_WINDRES32} icons40.rc -O coff -o icons40_32.o
    COMMAND ${PLUMAGE_MINGW32_GCC} -shared -s -o icons40_32.dll ${pe_sources}/library.c icons40_32.o
    COMMAND ${PLUMAGE_WINDRES64} icons40.rc -O coff -o icons40_64.o
    COMMAND ${PLUMAGE_MINGW64_GCC} -shared -s -o icons40_64.dll ${pe_sources}/library.c icons40_64.o
    COMMAND ${PLUMAGE_WINDRES32} app.rc -O coff -o app.o
    COMMAND ${PLUMAGE_MINGW32_GCC} -s -o app.exe ${pe_sources}/program.c app.o
    COMMAND ${PLUMAGE_MINGW64_GCC} -s -o noicons.exe ${pe_sources}/program.c
    WORKING_DIRECTORY ${pe}
    DEPENDS ${pe}/icons40.rc ${pe}/app.rc ${pe_sources}/library.c ${pe_sources}/program.c
    COMMENT "Windows test files with mingw-w64")
  add_custom_target(${target} ALL DEPENDS ${pe}/icons40_32.dll ${pe}/noicons.exe)
endfunction()
