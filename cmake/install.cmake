# cmake --install and the Debian package: the two programs, the disc check discinfo loads,
# man pages, bash completion and the licence. The package carries the light page view only:
# the WebEngine module would pull in Qt WebEngine for a page most discs show without it.
include(GNUInstallDirs)

install(TARGETS discstart discinfo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS discinfo_check LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/discstart)
# Man pages compressed, as Debian keeps them.
foreach(page discstart.1 discinfo.1)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dist/man/${page})
  execute_process(COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/dist/man/${page}
                  OUTPUT_FILE ${PROJECT_BINARY_DIR}/${page}.gz COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${PROJECT_BINARY_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES dist/completion/discinfo DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Debian's place for a package's licence: the project's, and that of the font the window carries.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE project_license)
file(READ ${PROJECT_SOURCE_DIR}/assets/fonts/LICENSE font_license)
file(WRITE ${PROJECT_BINARY_DIR}/copyright
  "discstart ${PROJECT_VERSION}\n\n${project_license}\n"
  "The program carries the Liberation Sans font inside it:\n\n${font_license}")
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME discstart)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "the discstart developers <discstart@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "start-up window of a movie disc, and discinfo")
set(CPACK_PACKAGE_DESCRIPTION
  "discstart is the window a movie disc opens: the cover, the film's name, its tags and the technical facts read from the film's own headers, a page, and a play button. discinfo prints what the window shows for a film or a disc folder, as text or JSON, and checks a disc folder before it is burnt.")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The components that are installed: no tests, no benchmarks, no WebEngine module.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
include(CPack)
