# The Debian package (`make deb`): pingalo_<version>_<arch>.deb with what
# `cmake --install` lays out, its dependencies worked out from the binaries by
# dpkg-shlibdeps. Configure with CMAKE_INSTALL_PREFIX=/usr: the program names
# its installed folders, so the package installs where it was configured for.
set(PINGALO_PACKAGE_MAINTAINER
    "Pingalo! Vantor maintainers <maintainers@users.noreply.c-seed-0a134cac.example>"
    CACHE STRING "The Maintainer field of the Debian package")

set(PINGALO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/pingalo)
configure_file(${PROJECT_SOURCE_DIR}/resources/deb/changelog.in
               ${CMAKE_BINARY_DIR}/deb/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/deb/changelog.gz
    COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/deb/changelog > ${CMAKE_BINARY_DIR}/deb/changelog.gz
    DEPENDS ${CMAKE_BINARY_DIR}/deb/changelog)
add_custom_target(pingalo_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/deb/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/resources/deb/copyright ${CMAKE_BINARY_DIR}/deb/changelog.gz
        DESTINATION ${PINGALO_DOC_DIR})

# The log-on start entry lives in /etc: the user's changes to it survive an upgrade.
configure_file(${PROJECT_SOURCE_DIR}/resources/deb/conffiles.in
               ${CMAKE_BINARY_DIR}/deb/conffiles @ONLY)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pingalo)
set(CPACK_PACKAGE_VENDOR "Pingalo! Vantor")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reminder program that lives in the notification area")
# Debian shows the description as it is written: lines under 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Pingalo! Vantor keeps dated reminder notes with a day, a time, a\n"
    "recurrence (one-time, daily, weekly, monthly, annual or bill) and a sound.\n"
    "At a reminder's minute a window above all others shows it and its sound\n"
    "plays until OK is pressed; at start-up and on demand it looks back for\n"
    "reminders missed while it was not running. A password can protect it, with\n"
    "a lock-down mode.\n"
    ".\n"
    "Its icon in the notification area carries the menu; the desktop entry's\n"
    "actions reach its windows on desktops without one. pingalo-ctl adds,\n"
    "lists, deletes, imports and exports reminders from a shell, with iCalendar\n"
    "files. A calendar folder that vdirsyncer keeps in step with a CalDAV server\n"
    "brings the reminders to every machine, each answered once.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PINGALO_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The calendar folder is carried to CalDAV servers by vdirsyncer.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS vdirsyncer)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/deb/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
