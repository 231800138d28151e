# SPDX-License-Identifier: GPL-3.0-or-later
# What an installed program brings besides the programs (manual pages, AppStream data, the licence and
# change notes where Debian looks for them), and the Debian package of it all:
#   cpack -G DEB      in the build folder, gives vp7sim_VERSION_amd64.deb
include(GNUInstallDirs)

# The project has no domain of its own; its AppStream identifier lies in example.org (see the file).
set(VP7_APPSTREAM_ID org.example.vp7sim)
set(VP7_MAINTAINER "VP7 simulator project <vp7sim@example.org>")

# Manual pages and the change notes, compressed as Debian wants them: the most, without a name or
# time in the header, so the same sources give the same bytes.
find_program(VP7_GZIP gzip REQUIRED)
set(VP7_DOC_DIR ${CMAKE_BINARY_DIR}/doc)
set(VP7_MAN_PAGES vp7sim.1 vp7-headless.1 vp7-room.1)
set(VP7_COMPRESSED)
foreach(page IN LISTS VP7_MAN_PAGES)
    configure_file(${PROJECT_SOURCE_DIR}/doc/${page}.in ${VP7_DOC_DIR}/${page} @ONLY)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/doc/changelog ${VP7_DOC_DIR}/changelog COPYONLY)
foreach(file IN LISTS VP7_MAN_PAGES ITEMS changelog)
    add_custom_command(OUTPUT ${VP7_DOC_DIR}/${file}.gz
        COMMAND ${VP7_GZIP} -9 -n -k -f ${file}
        WORKING_DIRECTORY ${VP7_DOC_DIR}
        DEPENDS ${VP7_DOC_DIR}/${file})
    list(APPEND VP7_COMPRESSED ${VP7_DOC_DIR}/${file}.gz)
endforeach()
add_custom_target(vp7_docs ALL DEPENDS ${VP7_COMPRESSED})

install(FILES ${VP7_DOC_DIR}/vp7-headless.1.gz ${VP7_DOC_DIR}/vp7-room.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# A package of its own making (no Debian revision) keeps its change notes as changelog.gz.
install(FILES ${VP7_DOC_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/doc/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The Modbus server's register map, for a control system's engineer to import.
install(FILES ${PROJECT_SOURCE_DIR}/doc/modbus-map.csv DESTINATION ${CMAKE_INSTALL_DOCDIR})
# A classroom broker's configuration and ACL, as examples to copy: not into mosquitto's own folder,
# where a configuration whose password file is not made yet would stop the system's broker.
install(FILES ${PROJECT_SOURCE_DIR}/doc/classroom/mosquitto.conf ${PROJECT_SOURCE_DIR}/doc/classroom/acl
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vp7sim/classroom)
# The command that makes a classroom ready on the instructor's PC.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/vp7-room DESTINATION ${CMAKE_INSTALL_BINDIR})
# The browser's page, a folder of static files any web server serves, where the browser's build was made
# beside this one (scripts/package.sh makes it first).
install(DIRECTORY ${VP7_WEB_BUILD}/site/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vp7sim/web OPTIONAL)
if(VP7_BUILD_UI)
    install(FILES ${VP7_DOC_DIR}/vp7sim.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/${VP7_APPSTREAM_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vp7sim)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "VP7 simulator project")
set(CPACK_PACKAGE_CONTACT "${VP7_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VP7_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the programs link come from dpkg-shlibdeps; what Qt loads at run time does not show
# there: the platform plugins (without them no window opens) and the window's font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# vp7-room is a python3 script.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core, python3")
# Qt's own buttons and dialogs in German; the broker, the page's WebSocket bridge and the certificates of
# a room that vp7-room makes on the instructor's PC (a seat's PC needs none of them).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, mosquitto, websockify, openssl")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "training simulator of an electropneumatic valve positioner")
# The extended description; CPack puts the summary before it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The KELDAR VP7 simulator shows the valve positioner as a picture: trainers and
apprentices press its three keys, watch its two-line segment display and the
moving piston, walk through the configuration parameters, run the
initialization, read the diagnostics and provoke faults (no supply air,
friction, leakage, blocking) without a real device. In German and English.
.
The package holds the desktop program vp7sim with a live trend, session
recording and replay and exercises for trainees (eight come with it), and
vp7-headless, which runs the same simulation from a script on a simulated
clock.")
include(CPack)
