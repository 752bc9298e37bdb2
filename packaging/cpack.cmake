# The Debian package: `cpack -G DEB` in the build folder (configured with
# -DCMAKE_INSTALL_PREFIX=/usr) makes kalmarex_<version>-1_<arch>.deb.
#
# One package: the two programs share the price-base library, kmx-tool and
# the data folder, and neither starts without the catalogue the package
# brings.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "kalmarex")
set(CPACK_PACKAGE_VENDOR "Nordvale")
set(CPACK_PACKAGE_CONTACT "Nordvale <biuro@davideriv.example.pl>" CACHE STRING "The package's maintainer")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "price catalogue of building materials, equipment and labour")
set(CPACK_PACKAGE_DESCRIPTION "A cost estimator searches a catalogue of building materials,
equipment and labour and of the producers and suppliers that sell them,
prints reports, writes price enquiries and exports prices for
cost-estimating programs. Two programs: Kalmarex (producer and supplier
prices) and KalmarexAvg (average prices). Polish user interface.
.
The package brings demo catalogues with invented data in /usr/share/kalmarex;
a catalogue in ~/.local/share/kalmarex is used before them.")
# Debian packages install under /usr whatever prefix the tree was configured
# with; the programs find their parts relative to bin/ either way.
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kalmarex.example.pl")
# The libraries the programs and our price-base library link, found by
# dpkg-shlibdeps; the X11 and offscreen platform plugins come with
# libqt6gui6. What the programs use without linking it:
#   fonts-liberation  the metric-compatible "Arial" of every window and report
#   xdg-utils         xdg-email for the price enquiries, xdg-open for links
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, xdg-utils")
#   qt6-translations-l10n  Qt's own dialogs and buttons in Polish
#   qt6-wayland            the native Wayland plugin (XWayland works without)
#   hicolor-icon-theme     the icon theme the menu icons are installed in
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland, hicolor-icon-theme")
#   wine  runs the cost-estimating programs the prices are exported into
#   cups  printing (the print dialog then lists the printers)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wine, cups")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
