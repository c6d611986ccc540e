# The Debian package darv2007, made with "cpack -G DEB" in a build folder: the programs, their
# resources and the desktop files as "cmake --install" puts them, under /usr.

set(CPACK_PACKAGE_NAME "darv2007")
set(CPACK_PACKAGE_VENDOR "DARV 2007")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find copied work among students' CAD drawings")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "DARV 2007 helps teachers find copied work among the CAD drawings (DWG files)\n"
    "that their students hand in. It keeps one project per assignment, reads every\n"
    "drawing itself, from release 13 to 2018, and compares the drawings with three\n"
    "checks: equal creation time stamps, shared entity handles and drawings older\n"
    "than a chosen age. The reports can be viewed and printed. darv2007-cli does\n"
    "the same work without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "DARV 2007 developers")
set(CPACK_DEBIAN_PACKAGE_SECTION "education")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The libraries come from dpkg-shlibdeps; the window's layout is measured in Liberation Sans, which
# fontconfig also gives for "Arial".
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# Loads the completion of darv2007-cli in interactive shells.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")

include(CPack)
