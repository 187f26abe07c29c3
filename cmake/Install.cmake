# Installing Varnel for one user. The program folder (the executable with help.chm) also keeps that user's fs.ini
# as long as they may write it, so the default prefix is the user's own ~/.local, whose share/applications and
# bin the desktop and the shell already look in. An install for everyone is the Debian package (Package.cmake).
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND DEFINED ENV{HOME})
    set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix; the program folder must be writable"
        FORCE)
endif()

set(VARNEL_INSTALL_PROGRAM_DIR lib/varnel)

install(TARGETS varnel varnel-pdf-text RUNTIME DESTINATION ${VARNEL_INSTALL_PROGRAM_DIR})
install(FILES ${VARNEL_ROOT}/desktop/varnel.svg DESTINATION share/icons/hicolor/scalable/apps)

# The desktop entry names the program and icon by absolute path, known only when the prefix is final (it may be
# given to cmake --install --prefix), so it is written at install time; so is the command in bin.
install(CODE "set(varnel_desktop_template \"${VARNEL_ROOT}/desktop/varnel.desktop.in\")")
install(CODE [[
    set(VARNEL_EXEC "${CMAKE_INSTALL_PREFIX}/lib/varnel/varnel")
    set(VARNEL_ICON "${CMAKE_INSTALL_PREFIX}/share/icons/hicolor/scalable/apps/varnel.svg")
    set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/varnel.desktop")
    message(STATUS "Installing: ${entry}")
    configure_file("${varnel_desktop_template}" "${entry}" @ONLY)
    set(command "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/varnel")
    message(STATUS "Installing: ${command}")
    file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
    file(CREATE_LINK ../lib/varnel/varnel "${command}" SYMBOLIC)
]])
