# Read by cpack before it builds a package (CPACK_PROJECT_CONFIG_FILE): adds to the Debian
# package's Depends the packages whose libraries the executables in
# CPACK_QUENBRY_SHLIBDEPS_FILES load, as dpkg-shlibdeps names them.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_QUENBRY_SHLIBDEPS_FILES)
    find_program(_dpkg_shlibdeps dpkg-shlibdeps)
    if(NOT _dpkg_shlibdeps)
        message(FATAL_ERROR "dpkg-shlibdeps (Debian package dpkg-dev) is needed for the package")
    endif()
    foreach(_file IN LISTS CPACK_QUENBRY_SHLIBDEPS_FILES)
        if(NOT EXISTS "${_file}")
            message(FATAL_ERROR "${_file} is missing: build the project before packaging it")
        endif()
    endforeach()
    # dpkg-shlibdeps runs inside a source tree, which it recognises by debian/control.
    set(_work "${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/shlibdeps")
    file(WRITE "${_work}/debian/control" "Source: quenbry\n\nPackage: quenbry\nArchitecture: any\n")
    execute_process(
        COMMAND "${_dpkg_shlibdeps}" -O ${CPACK_QUENBRY_SHLIBDEPS_FILES}
        WORKING_DIRECTORY "${_work}"
        OUTPUT_VARIABLE _out
        ERROR_VARIABLE _err
        RESULT_VARIABLE _result
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT _result EQUAL 0)
        message(FATAL_ERROR "dpkg-shlibdeps failed: ${_err}")
    endif()
    string(REGEX REPLACE "^shlibs:Depends=" "" _depends "${_out}")
    if(_depends)
        string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${_depends}")
    endif()
endif()
