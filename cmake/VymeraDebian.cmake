# The Debian packages, made by CPack's DEB generator from this build (`make deb` uses a Release
# build of its own, see the Makefile):
#
#   vymera          the tray client and its two libraries in /usr/lib/vymera, on the path as
#                   /usr/bin/Vymera; its skins in /usr/share/vymera/res (linked as "res" beside the
#                   client, where it looks for them); the menu entry, the icon in several sizes,
#                   the udev rule for the scale and the pedometer, a manual page.
#   vymera-service  the reference web service, /usr/bin/vymera-service, with a systemd unit that
#                   runs it as a user of its own over /var/lib/vymera-service.
#
# Neither holds the updater, the installer, the removal program or the bootstrapper: the package
# manager installs, updates and removes. Both get their dependencies from dpkg-shlibdeps, a
# copyright file and the changelog.

set(VYMERA_DEB_SOURCE ${PROJECT_SOURCE_DIR}/packaging/debian)
set(VYMERA_DEB_STAGE ${PROJECT_BINARY_DIR}/debian-files)
set(VYMERA_DEB_MAINTAINER "The Vymera developers <developers@vymera.example>")

# The changelog's newest entry names the version the packages carry.
file(STRINGS ${VYMERA_DEB_SOURCE}/changelog VYMERA_DEB_CHANGELOG_HEAD LIMIT_COUNT 1)
if(NOT VYMERA_DEB_CHANGELOG_HEAD MATCHES "^vymera \\(([^)]+)\\) ")
  message(FATAL_ERROR "packaging/debian/changelog does not start with an entry \"vymera (VERSION) ...\"")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(WARNING "packaging/debian/changelog starts at ${CMAKE_MATCH_1}, the project is ${PROJECT_VERSION}: "
                  "add an entry before making packages (`make deb` stops on it)")
endif()

# Files made at build time: manual pages and changelog compressed as Debian wants them (gzip -9n,
# no time stamp), the icon rendered at the sizes desktops ask the hicolor theme for.
set(deb_outputs)
function(_vymera_deb_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9nc < \"$0\" > \"$1\"" ${source} ${output}
    DEPENDS ${source} VERBATIM)
  set(deb_outputs ${deb_outputs} ${output} PARENT_SCOPE)
endfunction()

set(VERSION ${PROJECT_VERSION})
configure_file(${VYMERA_DEB_SOURCE}/Vymera.1 ${VYMERA_DEB_STAGE}/Vymera.1 @ONLY)
configure_file(${VYMERA_DEB_SOURCE}/vymera-service.8 ${VYMERA_DEB_STAGE}/vymera-service.8 @ONLY)
_vymera_deb_gzip(${VYMERA_DEB_STAGE}/Vymera.1 ${VYMERA_DEB_STAGE}/Vymera.1.gz)
_vymera_deb_gzip(${VYMERA_DEB_STAGE}/vymera-service.8 ${VYMERA_DEB_STAGE}/vymera-service.8.gz)
_vymera_deb_gzip(${VYMERA_DEB_SOURCE}/changelog ${VYMERA_DEB_STAGE}/changelog.gz)

set(VYMERA_DEB_ICON_SIZES 16 22 24 32 48 64 128 256)
set(icon_source ${PROJECT_SOURCE_DIR}/skins/client/logo_small.svg)
foreach(size ${VYMERA_DEB_ICON_SIZES})
  set(icon ${VYMERA_DEB_STAGE}/icons/${size}x${size}/vymera.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VYMERA_DEB_STAGE}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${icon} ${icon_source}
    DEPENDS ${icon_source} VERBATIM)
  list(APPEND deb_outputs ${icon})
  install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps COMPONENT vymera)
endforeach()
add_custom_target(vymera_debian_files ALL DEPENDS ${deb_outputs})

# Relative links, as Debian wants them inside /usr.
file(MAKE_DIRECTORY ${VYMERA_DEB_STAGE}/links/bin ${VYMERA_DEB_STAGE}/links/lib)
file(CREATE_LINK ../lib/vymera/Vymera ${VYMERA_DEB_STAGE}/links/bin/Vymera SYMBOLIC)
file(CREATE_LINK ../../share/vymera/res ${VYMERA_DEB_STAGE}/links/lib/res SYMBOLIC)

set(data_permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(script_permissions OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The client.
set(client_targets Vymera vymera_toolkit pace700Lib)
# The client finds the two libraries beside itself, installed as built; the libraries need no
# search path of their own (one set here would leave padding in the built ones).
set_target_properties(Vymera PROPERTIES INSTALL_RPATH "$ORIGIN" BUILD_WITH_INSTALL_RPATH ON)
install(TARGETS ${client_targets}
        RUNTIME DESTINATION lib/vymera COMPONENT vymera
        LIBRARY DESTINATION lib/vymera COMPONENT vymera)
install(FILES ${VYMERA_DEB_STAGE}/links/lib/res DESTINATION lib/vymera COMPONENT vymera)
install(FILES ${VYMERA_DEB_STAGE}/links/bin/Vymera DESTINATION bin COMPONENT vymera)
install(DIRECTORY ${PROJECT_BINARY_DIR}/bin/res/ DESTINATION share/vymera/res COMPONENT vymera
        FILE_PERMISSIONS ${data_permissions} DIRECTORY_PERMISSIONS ${script_permissions})
install(FILES ${VYMERA_DEB_SOURCE}/vymera.desktop DESTINATION share/applications COMPONENT vymera
        PERMISSIONS ${data_permissions})
install(FILES ${icon_source} DESTINATION share/icons/hicolor/scalable/apps RENAME vymera.svg COMPONENT vymera
        PERMISSIONS ${data_permissions})
install(FILES ${PROJECT_SOURCE_DIR}/platform/hid/70-vymera-devices.rules DESTINATION lib/udev/rules.d
        COMPONENT vymera PERMISSIONS ${data_permissions})
install(FILES ${VYMERA_DEB_STAGE}/Vymera.1.gz DESTINATION share/man/man1 COMPONENT vymera
        PERMISSIONS ${data_permissions})

# The service.
install(TARGETS vymera-service RUNTIME DESTINATION bin COMPONENT vymera-service)
install(FILES ${VYMERA_DEB_SOURCE}/vymera-service/vymera-service.service DESTINATION lib/systemd/system
        COMPONENT vymera-service PERMISSIONS ${data_permissions})
install(FILES ${VYMERA_DEB_STAGE}/vymera-service.8.gz DESTINATION share/man/man8 COMPONENT vymera-service
        PERMISSIONS ${data_permissions})

foreach(package vymera vymera-service)
  install(FILES ${VYMERA_DEB_SOURCE}/copyright ${VYMERA_DEB_STAGE}/changelog.gz
          DESTINATION share/doc/${package} COMPONENT ${package} PERMISSIONS ${data_permissions})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vymera)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vymera developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL vymera vymera-service)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VYMERA_DEB_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The client's own libraries sit beside it, found through its $ORIGIN run path.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS usr/lib/vymera)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# A Release build links without symbols already; a package made from a developer build is
# stripped here.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_VYMERA_PACKAGE_NAME vymera)
set(CPACK_DEBIAN_VYMERA_PACKAGE_SECTION utils)
# Pages open in the browser through xdg-open; the skins' texts are Chinese.
set(CPACK_DEBIAN_VYMERA_PACKAGE_RECOMMENDS "xdg-utils, fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_COMPONENT_VYMERA_DESCRIPTION
  "tray client for Vymera body scales, pedometers and trackers
Vymera keeps up to four accounts of the Vymera web service, binds a body
scale, a pedometer and a wrist tracker to them, reads whatever is plugged in
and uploads the readings to the accounts.
.
The package holds the client, its skins, its menu entry and icon, and the udev
rule that gives the user at the seat access to the scale and the pedometer.
Updates come through the package manager.")
set(CPACK_DEBIAN_VYMERA_PACKAGE_CONTROL_EXTRA ${VYMERA_DEB_SOURCE}/vymera/postinst ${VYMERA_DEB_SOURCE}/vymera/postrm)

set(CPACK_DEBIAN_VYMERA-SERVICE_PACKAGE_NAME vymera-service)
set(CPACK_DEBIAN_VYMERA-SERVICE_PACKAGE_SECTION net)
set(CPACK_DEBIAN_VYMERA-SERVICE_PACKAGE_DEPENDS adduser)
set(CPACK_COMPONENT_VYMERA-SERVICE_DESCRIPTION
  "reference web service for the Vymera client
The web API the Vymera client talks to, the member site and the release
downloads, over one SQLite database.
.
It runs as the systemd unit vymera-service.service under a system user of its
own, with its data in /var/lib/vymera-service, and listens on loopback until
configured otherwise.")
set(CPACK_DEBIAN_VYMERA-SERVICE_PACKAGE_CONTROL_EXTRA
  ${VYMERA_DEB_SOURCE}/vymera-service/postinst ${VYMERA_DEB_SOURCE}/vymera-service/prerm
  ${VYMERA_DEB_SOURCE}/vymera-service/postrm)

include(CPack)

if(VYMERA_TESTS)
  # The client from the package this build makes, unpacked with dpkg -x: where its files land and
  # whether it finds the simulated scale. Its own X server; the port lock keeps a release another
  # test publishes from being offered to it.
  add_test(NAME DebianPackage.ClientKeepsItsFilesInTheDataFolder
    COMMAND ${VYMERA_DEB_SOURCE}/tests/installed_client_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(DebianPackage.ClientKeepsItsFilesInTheDataFolder PROPERTIES
    LABELS e2e
    RESOURCE_LOCK port_8360
    SKIP_RETURN_CODE 77
    TIMEOUT 300)
endif()
