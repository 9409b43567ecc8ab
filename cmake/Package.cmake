# The Debian package: `cd build && cpack -G DEB` writes tesserine_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME tesserine)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Orvalde)
set(CPACK_PACKAGE_CONTACT "Tesserine developers <tesserine@orvalde.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "multilingual simple rich-text editor")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_CURRENT_LIST_DIR}/../packaging/description.txt)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries the program links. That covers the plugins Qt
# loads at run time as well: the platform plugins (xcb, offscreen) ship in libqt6gui6
# and the SVG icon engine and image plugin in libqt6svg6, both linked. Only fontconfig,
# the font configuration the font lists are built from, is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fontconfig")
# Qt's Japanese translations for the standard dialogs and buttons, fonts that cover
# Japanese and the other scripts the foreign-language search shows, and the Qt 6
# frontend of Fcitx 5, through which Japanese is typed on a desktop that runs it. (The
# Qt 6 frontend of IBus, the other input method framework Debian ships, is part of
# libqt6gui6, a dependency already.)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-translations-l10n, fonts-ipafont | fonts-noto-cjk, fonts-noto-core, fcitx5-frontend-qt6")

include(CPack)
