# Installing Mireka as a desktop application, and its Debian package.
include(GNUInstallDirs)

set(MIREKA_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/src/resources/desktop)
set(MIREKA_APPSTREAM_ID jp.umosoftware.Mireka)

# Installed, the program finds its shipped data relative to itself, so the prefix may move.
file(RELATIVE_PATH MIREKA_DATA_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/mireka)
target_compile_definitions(mireka_platform PRIVATE MIREKA_DATA_FROM_BIN="${MIREKA_DATA_FROM_BIN}")

install(TARGETS mireka RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY src/resources/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/mireka)

if(UNIX AND NOT APPLE)
    set(DATADIR ${CMAKE_INSTALL_FULL_DATADIR})
    configure_file(${MIREKA_DESKTOP_DIR}/mireka.1 man/man1/mireka.1 @ONLY)
    configure_file(${MIREKA_DESKTOP_DIR}/ja/mireka.1 man/ja/man1/mireka.1 @ONLY)
    configure_file(${MIREKA_DESKTOP_DIR}/${MIREKA_APPSTREAM_ID}.metainfo.xml
                   ${MIREKA_APPSTREAM_ID}.metainfo.xml @ONLY)
    install(FILES ${MIREKA_DESKTOP_DIR}/mireka.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${MIREKA_APPSTREAM_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(DIRECTORY ${MIREKA_HICOLOR_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
    install(FILES src/resources/icons/mireka.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/man1/mireka.1
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/ja/man1/mireka.1
            DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mireka)
set(CPACK_PACKAGE_VENDOR "UMO Software")
set(CPACK_PACKAGE_CONTACT "UMO Software")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small, fast IDE for people learning C (Japanese interface)")
set(CPACK_PACKAGE_DESCRIPTION
    "Mireka is an integrated development environment for people learning C: one window, one C\n"
    "source file, a syntax-coloured editor with unlimited undo, a Japanese user interface, and\n"
    "one-key compile and run, with plain Japanese explanations of GCC's messages.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the linked libraries: Qt's translations give the standard buttons their Japanese
# labels, the font shows Japanese, and programs run in a terminal.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-translations-l10n, xterm | x-terminal-emulator")
# To compile, debug and read the C library reference.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gcc, libc6-dev, gdb, manpages-ja-dev, manpages-dev, mandoc")
include(CPack)
