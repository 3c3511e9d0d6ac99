# make package: a .deb of the installed layout (cmake/Install.cmake) under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellumet)
set(CPACK_PACKAGE_VENDOR Orrindale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "authoring tool for small animated SWF banners")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(VELLUMET_MAINTAINER "Vellumet developers <vellumet@example.org>"
    CACHE STRING "Maintainer named in the .deb package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELLUMET_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The summary above is the first line; CPack indents the rest and writes the
# empty line as " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[Vellumet composes web banners and slide shows as a list of frames with
shapes, texts, pictures and buttons, each moving, growing or changing colour
from frame to frame. Projects are saved as .sw0 files with their media
embedded; movies are exported as SWF files with an HTML test page.

Besides the editor window the program exports, renders and dumps movies
from the command line.]])
# Libraries come from dpkg-shlibdeps. Texts are drawn with the fonts that
# stand in for Arial, Times New Roman and Courier New (Liberation) and the
# general fallback (DejaVu); help and test pages open in the desktop's browser.
# Qt loads its window-system plugin at run time, so no library names it: the
# editor window needs qt6-qpa-plugins (xcb, wayland).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)
