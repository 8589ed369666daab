# What `cmake --install` puts where, the manual pages, and the Debian package.
# Included by the top-level CMakeLists.txt after the programs are defined; the
# programs' own install() lines sit in their folders' CMakeLists.txt.
#
#   PREFIX/bin                                   markograph, markograph-cli, markograph-sim
#   PREFIX/share/markograph/NV.inf               the sample model file; an installed program
#                                                copies it to $XDG_CONFIG_HOME/markograph/NV.inf
#   PREFIX/share/markograph/samples              the sample logos, for a first download
#   PREFIX/share/markograph/ansible              the Ansible role markograph_fleet (with its
#                                                module markograph_logos) and an example playbook
#   PREFIX/share/applications/markograph.desktop the desktop menu entry
#   PREFIX/share/icons/hicolor/64x64/apps        the icon
#   PREFIX/share/man/man1                        markograph-cli.1.gz, markograph-sim.1.gz
#   PREFIX/share/doc/markograph                  README.md, CHANGELOG.md, docs/ (the user pages)
include(GNUInstallDirs)

# The version of project() is the only one: the programs print it with
# --version and the About box shows it.
target_compile_definitions(markograph_ui PRIVATE MARKOGRAPH_VERSION="${PROJECT_VERSION}")

# The model file is found relative to the executable (../share/markograph), so
# the data folder must be share/ beside bin/ whatever the prefix.
set(MARKOGRAPH_INSTALL_DATADIR ${CMAKE_INSTALL_DATAROOTDIR}/markograph)
install(FILES ${PROJECT_SOURCE_DIR}/samples/NV.inf DESTINATION ${MARKOGRAPH_INSTALL_DATADIR})
install(FILES
    ${PROJECT_SOURCE_DIR}/samples/mono-badge.bmp
    ${PROJECT_SOURCE_DIR}/samples/red-black.bmp
    ${PROJECT_SOURCE_DIR}/samples/sixteen-colours.bmp
  DESTINATION ${MARKOGRAPH_INSTALL_DATADIR}/samples)
# The Ansible role is found through roles_path (ANSIBLE_ROLES_PATH); its module
# lies in the role's library folder, where Ansible looks for it.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/contrib/ansible/ DESTINATION ${MARKOGRAPH_INSTALL_DATADIR}/ansible
  PATTERN __pycache__ EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/markograph.desktop
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/src/res/markograph.png
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/64x64/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/CHANGELOG.md
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/markograph)
# The user pages of the book in docs/ (the architecture notes are for the source tree).
set(markograph_doc_pages README getting-started installing desktop command-line pictures virtual-printer ansible model-file linux-printers troubleshooting reliability performance)
list(TRANSFORM markograph_doc_pages PREPEND ${PROJECT_SOURCE_DIR}/docs/)
list(TRANSFORM markograph_doc_pages APPEND .md)
install(FILES ${markograph_doc_pages} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/markograph/docs)

# Manual pages, written from each program's --help when the program is built.
set(man_dir ${CMAKE_BINARY_DIR}/man)
set(man_pages "")
function(markograph_man_page target summary)
  cmake_parse_arguments(MAN "" "INTRO;EXTRA" "" ${ARGN})
  set(page ${man_dir}/${target}.1.gz)
  set(sources ${PROJECT_SOURCE_DIR}/packaging/man/help_to_man.cmake)
  foreach(part IN ITEMS ${MAN_INTRO} ${MAN_EXTRA})
    list(APPEND sources ${PROJECT_SOURCE_DIR}/packaging/man/${part})
  endforeach()
  set(intro "")
  set(extra "")
  if(MAN_INTRO)
    set(intro ${PROJECT_SOURCE_DIR}/packaging/man/${MAN_INTRO})
  endif()
  if(MAN_EXTRA)
    set(extra ${PROJECT_SOURCE_DIR}/packaging/man/${MAN_EXTRA})
  endif()
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND}
      -DPROGRAM=$<TARGET_FILE:${target}> -DNAME=${target} -DSUMMARY=${summary}
      -DVERSION=${PROJECT_VERSION} -DINTRO=${intro} -DEXTRA=${extra} -DOUTPUT=${page}
      -P ${PROJECT_SOURCE_DIR}/packaging/man/help_to_man.cmake
    DEPENDS ${target} ${sources}
    COMMENT "Writing the manual page of ${target}"
    VERBATIM)
  set(man_pages ${man_pages} ${page} PARENT_SCOPE)
endfunction()
markograph_man_page(markograph-cli "put logos into receipt printers from the shell"
  INTRO markograph-cli.intro.man EXTRA markograph-cli.sections.man)
markograph_man_page(markograph-sim "a virtual receipt printer for trying and testing Markograph"
  EXTRA markograph-sim.sections.man)
add_custom_target(markograph_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package: `cpack --config build/CPackConfig.cmake` (see docs/installing.md).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME markograph)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Markograph")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "puts BMP logos into the NV image memory of receipt printers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Markograph developers <markograph@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary above is the first line; CPack indents these lines and marks the
# empty one as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Markograph separates the colours of BMP logos for two-ink printers, packs them
into the raster commands of single-colour thermal, two-colour thermal and
impact receipt printers, downloads them into the printer's NV image memory
over serial, parallel, USB or Ethernet, prints what is stored and saves
command streams as print files.

The package holds the desktop program markograph, the command-line tool
markograph-cli and the virtual printer markograph-sim.")
# The Qt runtime the programs link, built against this Qt or newer, the
# platform plug-ins that the desktop program loads at run time, and the image
# plug-ins through which the picture import reads TIFF and WebP; zlib for
# compressed drawings; the QR encoder and the default font of composed logos.
set(qt_min "(>= ${Qt6_VERSION})")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libc6, libstdc++6, libgcc-s1, libqt6core6 ${qt_min}, libqt6gui6 ${qt_min}, libqt6widgets6 ${qt_min}, libqt6network6 ${qt_min}, libqt6svg6 ${qt_min}, qt6-qpa-plugins, qt6-image-formats-plugins, zlib1g, libqrencode4, fonts-dejavu-core")
# Only the Ansible role needs it, and only on the machine that runs the playbooks.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ansible-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# Builds the package into a temporary folder and checks what it holds and that
# its programs run against the system's Qt.
if(BUILD_TESTING)
  add_test(NAME package.deb
    COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/check_package.sh
      ${CMAKE_BINARY_DIR} ${PROJECT_VERSION} ${PROJECT_SOURCE_DIR}/samples/NV.inf)
  set_tests_properties(package.deb PROPERTIES LABELS package TIMEOUT 300)
endif()
