# `make package`: a Debian package of the install tree. dpkg-shlibdeps works out
# the shared libraries' packages; what the program only runs or reads is listed
# by hand: xdg-open shows the report and the help, DejaVu Sans draws the chart.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trekline)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Trekline developers")
set(CPACK_PACKAGE_CONTACT "The Trekline developers <trekline@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "diary of daily step counts with a chart of the walk")
set(CPACK_PACKAGE_DESCRIPTION
    "Trekline keeps a diary of how many steps you walk each day. It lists the entries "
    "by date and writes a report: a line chart of the steps as a bitmap and a web page "
    "with the distance walked each day for a given step length.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
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
