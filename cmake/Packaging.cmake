# The Debian package of the workbench: "cpack" in a build folder (or
# "./brindle package") writes brindle_VERSION_ARCH.deb of what "cmake --install"
# installs, below /usr. Its library dependencies are read from the executables.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brindle)
set(CPACK_PACKAGE_VENDOR "The Brindle Developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop XML workbench")
set(CPACK_PACKAGE_DESCRIPTION [[Brindle shows an XML document as a tree of elements whose names,
attributes and text can be edited. It selects elements with queries,
transforms documents into HTML with stylesheets, runs XEL programs written
as elements of the document, and browses XML table files in a data grid.
brindle-cli runs the same engine from scripts.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Brindle Developers <developers@brindleworkbench.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://brindleworkbench.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Transformation results open in the desktop's viewer through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)

# Installing and packaging take the build as it is: the brindle script builds
# first, and the package test must not rebuild the tree it runs from.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

include(CPack)
