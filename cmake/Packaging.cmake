# Where cmake --install puts Plumage, and the .deb that CPack makes of it:
# the two programs, the desktop entry that opens the settings from the
# application menu, the program's icon in the hicolor theme, and the folder
# icons as a library to choose from.
include(GNUInstallDirs)

# Started without a folder, plumage shows its settings. By name: the prefix
# chosen at install time (cmake --install --prefix, the package's /usr) is
# not known when this file is configured.
install(FILES ${PROJECT_SOURCE_DIR}/data/plumage.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/data/hicolor/${size}x${size}/apps/plumage.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
file(GLOB PLUMAGE_ARTWORK_ICONS ${PROJECT_SOURCE_DIR}/data/icons/*.ico)
install(FILES ${PLUMAGE_ARTWORK_ICONS} DESTINATION ${CMAKE_INSTALL_DATADIR}/plumage/icons)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plumage)
set(CPACK_PACKAGE_VENDOR "Plumage")
set(CPACK_PACKAGE_CONTACT "Plumage developers <plumage@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "gives a folder an icon of its own")
set(CPACK_PACKAGE_DESCRIPTION
    "Plumage writes a folder's DESKTOP.INI with the icon you choose out of .ico, .exe, .dll and .icl files, makes new folder-shaped icons, and shows the icon in the Linux file managers too (GIO metadata, KDE's .directory). plumage is the window, plumagectl the command-line tool; plumagectl install adds the entry to the folder menus of GNOME Files, Dolphin, Nemo and Thunar.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Without the debugging information of a RelWithDebInfo build.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The shared libraries are found by dpkg-shlibdeps; Qt's platform plugins
# (loaded at run time) and what is started or spoken to are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gvfs, xdg-utils")
include(CPack)
