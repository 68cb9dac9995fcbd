# The Debian package: `cpack --preset package` (scripts/package.sh) in a build configured with
# the "package" preset, which installs under /usr. Only what install() names goes in: the
# program and its menu-entry updater, icons, desktop entry, AppStream metadata, path unit,
# manual page, changelog and copyright; the tests and the benchmark have no install rules.
set(CPACK_GENERATOR DEB)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME zintra)
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_CONTACT "Norvane <support@norvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Fastest File Copier")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "ZINTRA copies a file to a folder of your choice in large blocks and shows\n"
    "its progress. It can add \"Copy with Zintra\" to the context menu of the\n"
    "desktop's file managers.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.norvane.example")
# dpkg-shlibdeps finds the libraries the program links; the rest it cannot see: the window
# layout is measured in Liberation Sans, and Qt draws no window without its platform plugins
# (only a recommendation of Qt's own packages).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-qpa-plugins")
# Without Qt's Wayland plugin a Wayland session falls back to XWayland, or, with
# QT_QPA_PLATFORM=wayland, the program does not start; the links and the update offer open
# through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils")
# The menu and icon caches are refreshed by the file triggers of desktop-file-utils and
# hicolor-icon-theme; these scripts look after the registry, the menu entries and the path unit.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/resources/debian/postinst
    ${PROJECT_SOURCE_DIR}/resources/debian/prerm
    ${PROJECT_SOURCE_DIR}/resources/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
