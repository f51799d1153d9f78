# What `cmake --install` lays out, and the Debian package built from it
# (`make package`):
#
#   bin/                        PqConverter, PqCalculator, pqtool
#   lib/<arch>/pqsuite/         pqsuite-zones.so, the tz database module
#                               pqtool loads
#   share/pqsuite/              Conversions/ (the shipped data files) and the
#                               help documents
#   share/applications/         one .desktop file a program
#   share/icons/hicolor/        the programs' icons, 16 to 256 pixels and SVG
#   share/metainfo/             AppStream metainfo a program
#   share/man/man1/             the manual page of pqtool
#
# Installed, the programs find the share folder from their own (see
# uikit/app_paths.h) and keep each user's files in the per-user data folder.

set(PQ_PROGRAM_IDS)
foreach(program PqConverter PqCalculator)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    list(APPEND PQ_PROGRAM_IDS com.quorvane.${program})
  endif()
endforeach()
install(TARGETS pqtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET pqsuite-zones)
  install(TARGETS pqsuite-zones LIBRARY DESTINATION ${PQ_INSTALL_MODULE_DIR})
endif()

if(PQ_SHIPPED_DATA_PATHS)
  install(FILES ${PQ_SHIPPED_DATA_PATHS} DESTINATION ${PQ_INSTALL_SHARE_DIR}/Conversions)
endif()

# The help documents, which each program's folder keeps in help/ and copies
# beside the built programs.
file(GLOB PQ_HELP_DOCUMENTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/converter/help/*.htm
     ${PROJECT_SOURCE_DIR}/calculator/help/*.htm)
if(PQ_HELP_DOCUMENTS)
  install(FILES ${PQ_HELP_DOCUMENTS} DESTINATION ${PQ_INSTALL_SHARE_DIR})
endif()

set(desktop_dir ${PROJECT_SOURCE_DIR}/data/desktop)
set(metainfo_dir ${PROJECT_SOURCE_DIR}/data/metainfo)
set(icon_dir ${PROJECT_SOURCE_DIR}/data/icons/hicolor)
foreach(id IN LISTS PQ_PROGRAM_IDS)
  install(FILES ${desktop_dir}/${id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${metainfo_dir}/${id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(DIRECTORY ${icon_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
          FILES_MATCHING PATTERN "${id}.*")
endforeach()

# The manual page, compressed as Debian installs manual pages.
find_program(PQ_GZIP gzip)
set(man_page ${PROJECT_SOURCE_DIR}/data/man/pqtool.1)
if(PQ_GZIP)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/man/pqtool.1.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${man_page} ${CMAKE_BINARY_DIR}/man/pqtool.1
    COMMAND ${PQ_GZIP} -9 -n -f ${CMAKE_BINARY_DIR}/man/pqtool.1
    DEPENDS ${man_page}
    VERBATIM)
  add_custom_target(man_pages ALL DEPENDS ${CMAKE_BINARY_DIR}/man/pqtool.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/man/pqtool.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

find_program(PQ_GROFF groff)
add_test(NAME man_page.pqtool
         COMMAND ${CMAKE_COMMAND} -DPQTOOL=$<TARGET_FILE:pqtool> -DMAN_PAGE=${man_page}
                 -DGROFF=${PQ_GROFF} -P ${CMAKE_CURRENT_LIST_DIR}/check_man_page.cmake)

# The desktop files and the metainfo of both programs are checked with the
# validators the desktops use.
set(PQ_ALL_PROGRAM_IDS com.quorvane.PqConverter com.quorvane.PqCalculator)
find_program(PQ_DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(PQ_APPSTREAMCLI appstreamcli)
if(PQ_DESKTOP_FILE_VALIDATE)
  foreach(id IN LISTS PQ_ALL_PROGRAM_IDS)
    add_test(NAME desktop_file.${id}
             COMMAND ${PQ_DESKTOP_FILE_VALIDATE} ${desktop_dir}/${id}.desktop)
  endforeach()
endif()
if(PQ_APPSTREAMCLI)
  foreach(id IN LISTS PQ_ALL_PROGRAM_IDS)
    add_test(NAME metainfo.${id}
             COMMAND ${PQ_APPSTREAMCLI} validate --no-net ${metainfo_dir}/${id}.metainfo.xml)
  endforeach()
endif()

# The Debian package: `make package`, or `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pqsuite)
set(CPACK_PACKAGE_VENDOR Quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "unit converter and calculator sharing one formula engine")
set(CPACK_PACKAGE_DESCRIPTION
    "PqConverter converts units, currencies and time zones through data files\n"
    "the user can edit. PqCalculator is a desk and scientific calculator with\n"
    "memories and user functions. pqtool computes and converts on the command\n"
    "line.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorvane <pqsuite@quorvane.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The icon theme the menus look the icons up in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS hicolor-icon-theme)
# The dependencies are the shared libraries the programs link (Qt, whose
# libqt6gui6 brings the X11 and offscreen platforms, the date library's
# libdate-tz3, the C++ runtime), as dpkg-shlibdeps finds them; the libraries
# they load only when needed, which dpkg-shlibdeps cannot see (libcurl for
# downloads, expat for the exchange rates document); and the tz database the
# zones' rules are read from.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "tzdata, libcurl4, libexpat1")
include(CPack)
