# The Debian package (`make package`): the programs in /usr/bin, the side files and help pages in
# /usr/share/talvern, the desktop entry, the icon, the manual pages, the copyright file and the
# changelog, and dependencies worked out by dpkg-shlibdeps from the libraries the programs are
# linked with, plus the fonts the printouts are set in.
include(GNUInstallDirs)

foreach(program talvern talvern-cli talvern-boardsim talvern-render)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()
# The programs look for these in ../share/talvern beside their own folder.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/support ${PROJECT_SOURCE_DIR}/Help
        DESTINATION ${CMAKE_INSTALL_DATADIR}/talvern)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/talvern.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/talvern.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages made from each program's --help. The programs run at build time, also in a
# sanitizer build, where a leak report at exit must not fail the page.
find_program(TALVERN_HELP2MAN help2man)
find_program(TALVERN_GZIP gzip)
if(TALVERN_HELP2MAN AND TALVERN_GZIP)
    set(man_pages)
    foreach(entry "talvern|set-up and monitoring of a can bodymaker and its servo cupfeed"
                  "talvern-cli|read and write the bodymaker's controller boards over the serial line"
                  "talvern-boardsim|the simulated bodymaker controller boards on a pseudo-terminal"
                  "talvern-render|draw the signature graph and the printed reports for talvern-cli")
        string(REPLACE "|" ";" entry "${entry}")
        list(GET entry 0 program)
        list(GET entry 1 summary)
        if(NOT TARGET ${program})
            continue()
        endif()
        set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.1)
        add_custom_command(OUTPUT ${page}.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
            COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
                    ${TALVERN_HELP2MAN} --no-info --section=1 --name=${summary}
                    --version-string=${PROJECT_VERSION} --output=${page} $<TARGET_FILE:${program}>
            COMMAND ${TALVERN_GZIP} -9nf ${page}
            DEPENDS ${program}
            COMMENT "Manual page of ${program}"
            VERBATIM)
        list(APPEND man_pages ${page}.gz)
    endforeach()
    add_custom_target(talvern_man_pages ALL DEPENDS ${man_pages})
    install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    message(STATUS "help2man or gzip not found: the package will have no manual pages")
endif()

# The package's maintainer, in one place: the control file, the changelog and the copyright file.
set(TALVERN_MAINTAINER "TALVERN Maintainers <maintainers@talvern.example.org>"
    CACHE STRING "Name <address> of the Debian package's maintainer")

# /usr/share/doc/talvern: the copyright file (Debian's machine-readable format) and the
# changelog, compressed without a time stamp so that the same sources give the same package.
set(doc_folder ${CMAKE_CURRENT_BINARY_DIR}/doc)
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog.in latest LIMIT_COUNT 1)
if(NOT latest MATCHES "^talvern \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog.in has no entry for version ${PROJECT_VERSION} on top")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${doc_folder}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${doc_folder}/changelog @ONLY)
if(TALVERN_GZIP)
    add_custom_command(OUTPUT ${doc_folder}/changelog.gz
        COMMAND ${TALVERN_GZIP} -9nc ${doc_folder}/changelog > ${doc_folder}/changelog.gz
        DEPENDS ${doc_folder}/changelog
        COMMENT "Package changelog"
        VERBATIM)
    add_custom_target(talvern_changelog ALL DEPENDS ${doc_folder}/changelog.gz)
    install(FILES ${doc_folder}/copyright ${doc_folder}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/talvern)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talvern)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TALVERN")
set(CPACK_PACKAGE_CONTACT "${TALVERN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set-up and monitoring of a can bodymaker and its servo cupfeed")
# Lines of at most 80 characters, as Debian's tools read them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "TALVERN talks over one RS-232 cable to the bodymaker's PLC board K2510 and\n"
    "the servo cupfeed's motion board R7520: it edits their set-up parameters,\n"
    "shows the machine live, programs the limit-switch timing, keeps set-up\n"
    "files and loads board programs. It includes talvern-cli for service work\n"
    "without a display and talvern-boardsim, simulated boards on a\n"
    "pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TALVERN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The printouts are set in Liberation Serif and Liberation Sans, the metric twins of the faces
# their layout was measured in; the libraries are added by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
