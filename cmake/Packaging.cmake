# Where cmake --install puts Plumage, and the .deb that CPack makes of it:
# the two programs, the desktop entry that opens the settings from the
# application menu, the program's icon in the hicolor theme, the folder
# icons as a library to choose from, the manual pages and bash completion,
# the AppStream metainfo, and "Change icon..." in the folder menus of Dolphin
# and Nemo for every user.
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

# The shipped programs resolve every symbol at start and then make the
# relocation table read-only, as Debian's hardening asks (lintian's bindnow).
target_link_options(plumage PRIVATE -Wl,-z,relro,-z,now)
target_link_options(plumagectl PRIVATE -Wl,-z,relro,-z,now)

# The file managers' folder menus for every user; plumagectl install adds no
# per-user entry of its own beside these. They name plumage bare, found on
# PATH wherever the prefix put it.
install(FILES ${PROJECT_SOURCE_DIR}/data/menus/plumage-folder-verb.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kio/servicemenus)
install(FILES ${PROJECT_SOURCE_DIR}/data/menus/plumage-folder-verb.nemo_action
        DESTINATION ${CMAKE_INSTALL_DATADIR}/nemo/actions)
install(FILES ${PROJECT_SOURCE_DIR}/data/org.plumage_project.Plumage.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual pages and the bash completion. plumagectl(1) and the completion
# are made from plumagectl's own --help each time plumagectl is built, so
# they say what the installed program says; the page's FILES, ENVIRONMENT,
# EXIT STATUS and EXAMPLES are hand-written (data/man/plumagectl.1.tail).
# plumage takes no options, so its page is written by hand.
add_executable(help_to_man ${PROJECT_SOURCE_DIR}/tools/help_to_man.cpp
                           ${PROJECT_SOURCE_DIR}/tools/help_pages.cpp)
target_link_libraries(help_to_man PRIVATE plumage_warnings)

# The pages carry the date of the changelog's latest entry, not the day of
# the build, so that two builds of one version give the same package.
set(PLUMAGE_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/debian/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PLUMAGE_CHANGELOG})
file(STRINGS ${PLUMAGE_CHANGELOG} PLUMAGE_CHANGELOG_TRAILERS REGEX "^ -- ")
list(GET PLUMAGE_CHANGELOG_TRAILERS 0 PLUMAGE_LATEST_TRAILER)
string(REGEX MATCH ", [0-9]+ ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) "
       PLUMAGE_MATCHED "${PLUMAGE_LATEST_TRAILER}")
set(PLUMAGE_MONTHS Jan January Feb February Mar March Apr April May May Jun June Jul July
    Aug August Sep September Oct October Nov November Dec December)
list(FIND PLUMAGE_MONTHS "${CMAKE_MATCH_1}" PLUMAGE_MONTH_AT)
if(PLUMAGE_MONTH_AT LESS 0)
  message(FATAL_ERROR "packaging/debian/changelog: no date in \"${PLUMAGE_LATEST_TRAILER}\"")
endif()
math(EXPR PLUMAGE_MONTH_AT "${PLUMAGE_MONTH_AT} + 1")
list(GET PLUMAGE_MONTHS ${PLUMAGE_MONTH_AT} PLUMAGE_MONTH)
set(PLUMAGE_MAN_DATE "${PLUMAGE_MONTH} ${CMAKE_MATCH_2}")

set(PLUMAGE_MAN_DIR ${CMAKE_BINARY_DIR}/man)
# plumagectl starts as it always does (its program folder, its settings):
# here in a home of its own, never the builder's.
set(PLUMAGE_HELP_HOME ${PLUMAGE_MAN_DIR}/home)
configure_file(${PROJECT_SOURCE_DIR}/data/man/plumage.1.in ${PLUMAGE_MAN_DIR}/plumage.1 @ONLY)
configure_file(${PLUMAGE_CHANGELOG} ${PLUMAGE_MAN_DIR}/changelog COPYONLY)
add_custom_command(
  OUTPUT ${PLUMAGE_MAN_DIR}/plumagectl.1 ${PLUMAGE_MAN_DIR}/plumagectl.bash-completion
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PLUMAGE_HELP_HOME}
  COMMAND ${CMAKE_COMMAND} -E env HOME=${PLUMAGE_HELP_HOME}
          XDG_DATA_HOME=${PLUMAGE_HELP_HOME}/.local/share
          XDG_CONFIG_HOME=${PLUMAGE_HELP_HOME}/.config
          XDG_CACHE_HOME=${PLUMAGE_HELP_HOME}/.cache
          XDG_RUNTIME_DIR=${PLUMAGE_HELP_HOME}
          PLUMAGE_HOME=${PLUMAGE_HELP_HOME}/program
          PLUMAGE_CONFIG=${PLUMAGE_HELP_HOME}/config LC_ALL=C.UTF-8
          $<TARGET_FILE:help_to_man> $<TARGET_FILE:plumagectl> plumagectl 1
          ${PLUMAGE_MAN_DATE} "Plumage ${PROJECT_VERSION}"
          "give folders an icon of their own, from the command line"
          ${PROJECT_SOURCE_DIR}/data/man/plumagectl.1.tail
          ${PLUMAGE_MAN_DIR}/plumagectl.1 ${PLUMAGE_MAN_DIR}/plumagectl.bash-completion
  DEPENDS help_to_man plumagectl ${PROJECT_SOURCE_DIR}/data/man/plumagectl.1.tail
  COMMENT "plumagectl(1) and its bash completion from plumagectl --help"
  VERBATIM)
# Debian wants the pages and the changelog compressed at the highest level,
# without a name or time in the header.
set(PLUMAGE_COMPRESSED)
foreach(file plumage.1 plumagectl.1 changelog)
  add_custom_command(
    OUTPUT ${PLUMAGE_MAN_DIR}/${file}.gz
    COMMAND gzip -9nkf ${file}
    DEPENDS ${PLUMAGE_MAN_DIR}/${file}
    WORKING_DIRECTORY ${PLUMAGE_MAN_DIR}
    VERBATIM)
  list(APPEND PLUMAGE_COMPRESSED ${PLUMAGE_MAN_DIR}/${file}.gz)
endforeach()
add_custom_target(plumage_manuals ALL
                  DEPENDS ${PLUMAGE_COMPRESSED} ${PLUMAGE_MAN_DIR}/plumagectl.bash-completion)
install(FILES ${PLUMAGE_MAN_DIR}/plumage.1.gz ${PLUMAGE_MAN_DIR}/plumagectl.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PLUMAGE_MAN_DIR}/plumagectl.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME plumagectl)
# Debian's place, under the package's name (CMAKE_INSTALL_DOCDIR would take
# the project's, "Plumage").
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright ${PLUMAGE_MAN_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/plumage)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plumage)
set(CPACK_PACKAGE_VENDOR "Plumage")
set(CPACK_PACKAGE_CONTACT "Plumage maintainers <maintainers@plumage-project.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "gives a folder an icon of its own")
# Debian's form: lines of at most 80 characters, paragraphs apart, no line
# that starts with a dot (" ." is Debian's empty line), no double quotes
# (CPack loses them).
set(CPACK_PACKAGE_DESCRIPTION [=[
Plumage writes a folder's DESKTOP.INI, as Windows reads it, with the icon
you choose out of an .ico, .exe, .dll or .icl file, makes new folder-shaped
icons, and shows the icon in the Linux file managers too (GIO metadata for
GNOME Files, Nemo and Caja; the .directory file for Dolphin).

The folder menus of Dolphin and Nemo offer Change icon... to every user.
plumage is the window, plumagectl the command-line tool; plumagectl install
adds the entry to GNOME Files and Thunar for the user who runs it.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Without the debugging information of a RelWithDebInfo build.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://plumage-project.org/")
# The shared libraries are found by dpkg-shlibdeps; Qt's platform plugins
# (loaded at run time) and what is started or spoken to are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gvfs, xdg-utils")
# Folders as Debian has them (0755), whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
