# Installation: the program, its desktop entry and its icon, in the freedesktop places.
# Only the executable is installed; the core library is static and linked into it, and
# the tests and benchmarks stay in the build tree.
include(GNUInstallDirs)

# The application id names the desktop entry and the icon; main() gives Qt the same id.
set(TESSERINE_APP_ID org.orvalde.Tesserine)

install(TARGETS tesserine RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/../packaging/${TESSERINE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The same artwork the About box shows, as the scalable application icon.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/../resources/icons/tesserine.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${TESSERINE_APP_ID}.svg)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
