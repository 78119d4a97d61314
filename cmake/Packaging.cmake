# Installation as a desktop application, and the Debian package built from it with
# `cpack -G DEB`.
include(GNUInstallDirs)
set(QUENBRY_INSTALL_APPDIR "lib/quenbry" CACHE STRING
    "Folder, below the prefix, that holds the program and its config.ini")

if(UNIX AND NOT APPLE)
    install(FILES "${PROJECT_SOURCE_DIR}/resources/quenbry.desktop"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
    foreach(_size 48 64 128 256)
        install(FILES "${PROJECT_SOURCE_DIR}/resources/images/quenbry-${_size}.png"
                DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps"
                RENAME quenbry.png)
    endforeach()
    install(FILES "${PROJECT_SOURCE_DIR}/resources/images/quenbry.svg"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
endif()

set(CPACK_PACKAGE_NAME quenbry)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Quenbry Developers")
set(CPACK_PACKAGE_CONTACT "Quenbry Developers <dev@quenbry.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts video files into MP4 files for the PSP")
set(CPACK_PACKAGE_DESCRIPTION
    "Quenbry turns ordinary video files into MP4 files that play on the PSP handheld. Add \
videos, pick the output settings and a folder, press Go: the files are converted one after \
another with the ffmpeg encoder, which travels inside the program.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.quenbry.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The forms are laid out for Liberation Sans.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
# The libraries come from dpkg-shlibdeps, as CPACK_DEBIAN_PACKAGE_SHLIBDEPS would do, but over
# two executables: the program, and the encoder embedded in it. The encoder is a resource that
# the staged-file scan cannot see, yet once written out it runs against the system's libraries.
# cmake/DebianDepends.cmake makes one merged list when cpack starts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/DebianDepends.cmake")
set(CPACK_QUENBRY_SHLIBDEPS_FILES "${PROJECT_BINARY_DIR}/bin/quenbry" "${QUENBRY_ENCODER_FILE}")

include(CPack)
