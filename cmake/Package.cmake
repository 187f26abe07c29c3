# The Debian package, built with CPack from the built tree: cmake --build build --target package. It installs
# the program folder /usr/lib/varnel, which is never a place for settings, so each user's fs.ini, root's too,
# goes to their configuration folder. What only a package carries (the manual page, the AppStream metainfo, the copyright
# and changelog) is the "deb" component, which a plain cmake --install leaves out.

set(VARNEL_APPSTREAM_ID example.varnel.Varnel)
set(package_files ${PROJECT_BINARY_DIR}/package)

find_program(GZIP gzip REQUIRED)
configure_file(${VARNEL_ROOT}/desktop/varnel.metainfo.xml ${package_files}/${VARNEL_APPSTREAM_ID}.metainfo.xml
               @ONLY)
configure_file(${VARNEL_ROOT}/desktop/changelog.in ${package_files}/changelog @ONLY)
# Compressed without names or times, so the same sources give the same package.
add_custom_command(
    OUTPUT ${package_files}/varnel.1.gz ${package_files}/changelog.gz
    COMMAND ${GZIP} -9nc ${VARNEL_ROOT}/desktop/varnel.1 > ${package_files}/varnel.1.gz
    COMMAND ${GZIP} -9nc ${package_files}/changelog > ${package_files}/changelog.gz
    DEPENDS ${VARNEL_ROOT}/desktop/varnel.1 ${package_files}/changelog
    COMMENT "Compressing the manual page and the changelog")
add_custom_target(package_files ALL DEPENDS ${package_files}/varnel.1.gz ${package_files}/changelog.gz)

install(FILES ${package_files}/varnel.1.gz DESTINATION share/man/man1 COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${package_files}/${VARNEL_APPSTREAM_ID}.metainfo.xml DESTINATION share/metainfo COMPONENT deb
        EXCLUDE_FROM_ALL)
install(FILES ${VARNEL_ROOT}/desktop/copyright ${package_files}/changelog.gz DESTINATION share/doc/varnel
        COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnel)
set(CPACK_PACKAGE_VENDOR "Varnel developers")
set(CPACK_PACKAGE_CONTACT "Varnel developers <varnel@varnel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find files by name masks and contained text")
set(CPACK_PACKAGE_DESCRIPTION
    "Varnel finds files and folders by name and extension masks, in subfolders too,
and by a text they contain, looked for in Windows-1251, UTF-8 and UTF-16LE at
once, or in DOS code page 866, also in the text of office documents (.docx,
.xlsx, .pptx, .odt, .ods, .odp, RTF) and PDF files. It shows what it finds in a
built-in file viewer (text or hex pages in four readings: Windows-1251, code
page 866, UTF-16LE and UTF-8, a document's text, a search in the file) and
picture viewer, or hands it to programs of the user's choice. Its interface is
Russian.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Everything a plain install puts in place, and the package's own files.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};varnel;ALL;/;${PROJECT_BINARY_DIR};varnel;deb;/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://varnel.example/)
# The libraries come from dpkg-shlibdeps; the rest is what the program starts (xdg-open), the fonts it draws
# with, Qt's Russian texts and the C library's (the system's reasons in error messages, with the locales). Few
# desktops open help.chm, and Varnel shows its pages itself without a reader, so a reader is only suggested:
# recommended, it would pull in a second toolkit and dozens of packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "xdg-utils, fonts-liberation, fonts-dejavu-core, fonts-terminus-otb, qt6-translations-l10n, locales")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "kchmviewer | xchm")
include(CPack)
