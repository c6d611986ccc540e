# The Debian package darv2007, made with "cpack -G DEB" in a build folder: the programs (stripped), their
# resources, the desktop files, the copyright file and the changelog as "cmake --install --strip" puts
# them, under /usr. lintian checks it without errors or warnings (tests/packaging/check-package.sh).

set(CPACK_PACKAGE_NAME "darv2007")
set(CPACK_PACKAGE_VENDOR "DARV 2007")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find copied work among students' CAD drawings")
# The extended description, as "apt show darv2007" prints it: lines of at most 80 characters; CPack
# indents them and writes an empty line as " .". No double quotes: CPack's configuration file mangles them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "DARV 2007 helps teachers find copied work among the CAD drawings that their\n"
    "students hand in. It keeps one project per assignment, with the folders where\n"
    "the drawings lie, and reads every drawing itself: DWG files from release 13\n"
    "to 2018, and DXF files for the similarity check.\n"
    "\n"
    "Three checks compare the drawings of a project: equal creation time stamps,\n"
    "shared entity handles and drawings older than a chosen age. Their reports\n"
    "can be viewed and printed.\n"
    "\n"
    "The Similar Drawings window finds the copies these checks cannot see: work\n"
    "pasted into a fresh drawing, moved, partly redrawn, saved as another version\n"
    "or as DXF, or taken from an earlier year's project. It leaves out what the\n"
    "template drawings and much of the class hold, ranks the suspicious pairs,\n"
    "draws both drawings side by side with the shared parts in red, writes out\n"
    "the evidence and prints a sheet per pair.\n"
    "\n"
    "darv2007-cli does the same work without a window, the similarity check (its\n"
    "command similar) included; darv2007-install sets up the data folder.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DARV_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "education")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The libraries come from dpkg-shlibdeps; the window's layout is measured in Liberation Sans, which
# fontconfig also gives for "Arial".
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# Loads the completion of darv2007-cli in interactive shells.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")

include(CPack)
