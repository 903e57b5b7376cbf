# The Debian package: "cpack -G DEB" in the build folder (or the target "package") builds
# quarrow_<version>_<arch>.deb from what "cmake --install" puts under /usr.

set(CPACK_PACKAGE_NAME quarrow)
set(CPACK_PACKAGE_VENDOR "Quarrow developers")
set(CPACK_PACKAGE_CONTACT "Quarrow developers <quarrow@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn ASCII DXF drawings into delimited point lists")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# The shared libraries' packages come from dpkg-shlibdeps; Qt's platform plugins are loaded at
# run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
# The long description after the summary; CPack indents its lines and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quarrow reads the entities of the kinds you choose from ASCII DXF drawings
(points, circles, arcs, ellipses, lines, texts, 2D and 3D polylines,
splines, 3D faces and block references) and writes one delimited text file
per drawing, one record per point, with the fields, order, prefixes,
decimals and counters you configure.

The package holds the desktop program (quarrow, Qt 6) and its command line
(quarrow-cli) for batch runs.")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian's documentation files: the copyright and the changelog, compressed without a time
# stamp so that the same sources give the same package.
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging)
set(QUARROW_CHANGELOG_GZ ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
execute_process(COMMAND gzip -n -9 -c ${CMAKE_CURRENT_LIST_DIR}/changelog
                OUTPUT_FILE ${QUARROW_CHANGELOG_GZ} COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${QUARROW_CHANGELOG_GZ}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quarrow)

include(CPack)
