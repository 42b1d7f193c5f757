# Install layout and the Debian package.
#
# One program folder holds the programs and their Language packs side by side (the programs find
# the packs beside their own executable); small launchers on the PATH start them from there.
# Everything a desktop expects goes to the usual shared places.

include(GNUInstallDirs)

set(ORVANTIS_PROGRAM_DIR "lib/orvantis" CACHE STRING
    "Program folder below the install prefix: programs and Language packs")
set(ORVANTIS_APP_ID "org.example.orvantis")
set(ORVANTIS_MAINTAINER "Orvantis developers <orvantis@example.org>")
# The release the version above names: the changelog entry and the metainfo release carry it.
set(ORVANTIS_RELEASE_DATE "2026-12-08")
set(ORVANTIS_RELEASE_DATE_RFC2822 "Tue, 08 Dec 2026 00:00:00 +0000")

set(ORVANTIS_PKG_SOURCE ${CMAKE_SOURCE_DIR}/packaging)
set(ORVANTIS_PKG_BUILD ${CMAKE_BINARY_DIR}/packaging)

foreach(program orvantis orvantis-cli)
  if(TARGET ${program})
    target_compile_definitions(${program} PRIVATE ORVANTIS_VERSION="${PROJECT_VERSION}")
    install(TARGETS ${program} DESTINATION ${ORVANTIS_PROGRAM_DIR})
    set(PROGRAM ${program})
    configure_file(${ORVANTIS_PKG_SOURCE}/launcher.in ${ORVANTIS_PKG_BUILD}/launchers/${program} @ONLY)
    install(PROGRAMS ${ORVANTIS_PKG_BUILD}/launchers/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
    # The network helper sits beside the programs in the build folder as in the program folder.
    add_dependencies(${program} orvantis-netd)
  endif()
endforeach()
# The network helper: in the program folder only, no launcher. The capabilities and the group
# come from the postinst (or `make install-privileges`), never from the package's file modes.
install(TARGETS orvantis-netd DESTINATION ${ORVANTIS_PROGRAM_DIR})
# The lock every helper takes around its changes and ARP requests: root's, so no user can hold
# another file in its place.
install(FILES ${ORVANTIS_PKG_SOURCE}/orvantis-netd.lock DESTINATION ${ORVANTIS_PROGRAM_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/core/platform/linux/host_network_helper_linux.cpp
  DIRECTORY ${CMAKE_SOURCE_DIR}/src/core PROPERTIES COMPILE_DEFINITIONS
  ORVANTIS_NETD_INSTALLED="${CMAKE_INSTALL_PREFIX}/${ORVANTIS_PROGRAM_DIR}/orvantis-netd")
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Language DESTINATION ${ORVANTIS_PROGRAM_DIR}
        FILES_MATCHING PATTERN "*.ini")
# The camera emulator is for tests and the lab: only on request (cmake --install --component camsim).
if(TARGET orvantis-camsim)
  install(TARGETS orvantis-camsim DESTINATION ${ORVANTIS_PROGRAM_DIR} COMPONENT camsim EXCLUDE_FROM_ALL)
endif()

# Desktop entry, metainfo, icon.
install(FILES ${ORVANTIS_PKG_SOURCE}/${ORVANTIS_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${ORVANTIS_PKG_SOURCE}/${ORVANTIS_APP_ID}.metainfo.xml
               ${ORVANTIS_PKG_BUILD}/${ORVANTIS_APP_ID}.metainfo.xml @ONLY)
install(FILES ${ORVANTIS_PKG_BUILD}/${ORVANTIS_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
set(icon_svg ${ORVANTIS_PKG_SOURCE}/icons/orvantis.svg)
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(generated)
find_program(ORVANTIS_RSVG_CONVERT rsvg-convert)
if(ORVANTIS_RSVG_CONVERT)
  foreach(size 16 22 24 32 48 64 128 256)
    set(png ${ORVANTIS_PKG_BUILD}/icons/${size}x${size}/orvantis.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVANTIS_PKG_BUILD}/icons/${size}x${size}
      COMMAND ${ORVANTIS_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
      DEPENDS ${icon_svg} COMMENT "Icon ${size}x${size}" VERBATIM)
    list(APPEND generated ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
else()
  message(STATUS "rsvg-convert not found: the icon is installed as SVG only")
endif()

# Manual pages and the changelog, compressed the way Debian keeps them (-n: no name or time, so
# the same sources give the same bytes).
configure_file(${ORVANTIS_PKG_SOURCE}/debian/changelog.in ${ORVANTIS_PKG_BUILD}/changelog @ONLY)
foreach(page orvantis.1 orvantis-cli.1 orvantis-netd.8)
  set(gz ${ORVANTIS_PKG_BUILD}/man/${page}.gz)
  string(REGEX REPLACE ".*\\." "" section ${page})
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVANTIS_PKG_BUILD}/man
    COMMAND gzip -9n -c ${ORVANTIS_PKG_SOURCE}/man/${page} > ${gz}
    DEPENDS ${ORVANTIS_PKG_SOURCE}/man/${page} COMMENT "Manual page ${page}")
  list(APPEND generated ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()
set(changelog_gz ${ORVANTIS_PKG_BUILD}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND gzip -9n -c ${ORVANTIS_PKG_BUILD}/changelog > ${changelog_gz}
  DEPENDS ${ORVANTIS_PKG_BUILD}/changelog COMMENT "Changelog")
list(APPEND generated ${changelog_gz})
add_custom_target(orvantis_package_files ALL DEPENDS ${generated})

install(FILES ${changelog_gz} ${ORVANTIS_PKG_SOURCE}/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${ORVANTIS_PKG_SOURCE}/orvantis-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME orvantis-cli)

# The Debian package: `cpack -G DEB` in the build folder (make deb).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvantis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ORVANTIS_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find network cameras on the local network and set them up")
# CPack puts the summary in front as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvantis lists the network cameras that answer on the local network,
reaches a camera in another subnet through a temporary address on the
computer's adapter, reads the camera's settings and walks through its
set-up pages: link, addresses, PPPoE, wireless network and WPS, ports,
host name and clock. It writes the new settings back and finds the
camera again at its new address.
.
The package holds the desktop program, the command-line tool and
orvantis-netd, a small helper that alone carries the network
capabilities that temporary addresses and ARP probes need. Anyone may
run the programs; only members of the orvantis group may run the helper.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# addgroup in the postinst, setcap for the capabilities.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, libcap2-bin")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${ORVANTIS_PKG_SOURCE}/debian/postinst ${ORVANTIS_PKG_SOURCE}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
