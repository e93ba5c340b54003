# The project's identity on a Debian desktop and the CPack settings of its .deb package
# (scripts/package). Included from the root CMakeLists.txt before the subdirectories, which use
# the ZR_ variables below.

# The reverse-DNS application ID: desktop entry, metainfo, icon name and window application ID.
set(ZR_APP_ID "io.github.zr6040usb.ZR6040USB")
set(ZR_HOMEPAGE "https://github.com/zr6040usb/zr6040usb")
set(ZR_SCREENSHOT_URL "${ZR_HOMEPAGE}/raw/main/docs/main-window.png")
set(ZR_MAINTAINER_NAME "ZR-6040 USB developers")
set(ZR_MAINTAINER_EMAIL "zr6040usb@users.noreply.github.com")
set(ZR_LICENSE "MIT") # SPDX identifier; packaging/debian/copyright.in holds its text
set(ZR_RELEASE_DATE "2026-12-07") # of PROJECT_VERSION, shown in the metainfo and changelog
# The Debian package of the font the interface is laid out with.
set(ZR_UI_FONT_PACKAGE "fonts-paratype")
set(ZR_ICON_SIZES 48 128 256)

file(RELATIVE_PATH ZR_DOCDIR_FROM_BINDIR "/prefix/${CMAKE_INSTALL_BINDIR}"
     "/prefix/${CMAKE_INSTALL_DOCDIR}")
# The program's own modules (the chart), loaded when first needed.
set(ZR_INSTALL_MODULEDIR "${CMAKE_INSTALL_LIBDIR}/zr6040usb")
file(RELATIVE_PATH ZR_MODULEDIR_FROM_BINDIR "/prefix/${CMAKE_INSTALL_BINDIR}"
     "/prefix/${ZR_INSTALL_MODULEDIR}")
file(RELATIVE_PATH ZR_DATADIR_FROM_BINDIR "/prefix/${CMAKE_INSTALL_BINDIR}"
     "/prefix/${CMAKE_INSTALL_DATAROOTDIR}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ZR_MAINTAINER_NAME} <${ZR_MAINTAINER_EMAIL}>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZR_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the shared libraries: the fonts the interface and the print report are drawn with, Qt's
# window system plugins, without which no window opens, and Qt's translations of its own dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-dejavu-core, ${ZR_UI_FONT_PACKAGE}, qt6-qpa-plugins, qt6-translations-l10n")
# Opens the user guide.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control program of the ZR-6040 portable octane meter")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Desktop program for the ZR-6040 octane meter attached over USB. It shows the
live reading (research or motor octane number, cetane number), switches the
measuring method, manages the values and calibrations stored in the meter,
computes two-point calibrations from reference fuels and keeps a table of
measurements that is saved as a spreadsheet or text file and printed.

A udev rule gives the user at the seat access to the meter. The interface is
in Russian.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/postinst ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
