# Real Windows files for the icon tests, made at build time with mingw-w64
# (the Linux build and the Windows build alike): make_test_icon_files writes
# the icons and resource scripts, windres compiles them, gcc links a 32 and a
# 64-bit library of 40 icons, an application with one and one with none.
find_program(PLUMAGE_windres32 i686-w64-mingw32-windres REQUIRED)
find_program(PLUMAGE_windres64 x86_64-w64-mingw32-windres REQUIRED)
find_program(PLUMAGE_gcc32 i686-w64-mingw32-gcc REQUIRED)
find_program(PLUMAGE_gcc64 x86_64-w64-mingw32-gcc REQUIRED)

# plumage_add_pe_test_files(<target> <out folder>): the files, built with ALL.
function(plumage_add_pe_test_files target pe)
  set(c ${PROJECT_SOURCE_DIR}/tests/icons/pe)
  file(MAKE_DIRECTORY ${pe})
  add_custom_command(OUTPUT ${pe}/icons40.rc ${pe}/app.rc
    COMMAND make_test_icon_files ${pe} DEPENDS make_test_icon_files)
  add_custom_command(
    OUTPUT ${pe}/icons40_32.dll ${pe}/icons40_64.dll ${pe}/app.exe ${pe}/noicons.exe
    COMMAND ${PLUMAGE_windres32} icons40.rc -O coff -o icons40_32.o
    COMMAND ${PLUMAGE_gcc32} -shared -s -o icons40_32.dll ${c}/library.c icons40_32.o
    COMMAND ${PLUMAGE_windres64} icons40.rc -O coff -o icons40_64.o
    COMMAND ${PLUMAGE_gcc64} -shared -s -o icons40_64.dll ${c}/library.c icons40_64.o
    COMMAND ${PLUMAGE_windres32} app.rc -O coff -o app.o
    COMMAND ${PLUMAGE_gcc32} -s -o app.exe ${c}/program.c app.o
    COMMAND ${PLUMAGE_gcc64} -s -o noicons.exe ${c}/program.c
    WORKING_DIRECTORY ${pe}
    DEPENDS ${pe}/icons40.rc ${pe}/app.rc ${c}/library.c ${c}/program.c)
  add_custom_target(${target} ALL DEPENDS ${pe}/icons40_32.dll ${pe}/noicons.exe)
endfunction()
