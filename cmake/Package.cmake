# `make package`: a Debian package of the install tree. dpkg-shlibdeps works out
# the shared libraries' packages; what the program only runs or reads is listed
# by hand: xdg-open shows the report and the help, DejaVu Sans draws the chart.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trekline)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Trekline developers")
set(CPACK_PACKAGE_CONTACT "The Trekline developers <trekline@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "diary of daily step counts with a chart of the walk")
# The long description as Debian wants it: lines under 80 columns, paragraphs
# apart (CPack indents each line and marks the empty ones).
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Trekline keeps a diary of how many steps you walk each day. Type the number"
    "of steps, pick the date and add the entry: it is on disk at once, and the"
    "list shows every entry in date order."
    ""
    "A report draws the steps as a line chart, saved as a bitmap, and writes a"
    "web page with the chart and the distance walked each day for your step"
    "length, which opens in your browser."
    ""
    "Started from the desktop menu, Trekline keeps its files in the user's data"
    "directory; started from a terminal, in the current directory.")
set(CPACK_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Trekline developers <trekline@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://trekline.example.org)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, fonts-dejavu-core")

include(CPack)

if(TREKLINE_TESTS)
    add_test(NAME package_checks
             COMMAND ${PROJECT_SOURCE_DIR}/tests/install/check-package.sh
                     ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR})
    set_tests_properties(package_checks PROPERTIES LABELS package)
endif()
