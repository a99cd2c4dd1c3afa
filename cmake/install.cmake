# cmake --install and the Debian package: the three programs (make-disc with the disc kit and
# the disc's start program), the disc check discinfo loads, man pages, bash completion, the
# licence and the changelog. The package carries the light page view only: the WebEngine module
# would pull in Qt WebEngine for a page most discs show without it.
include(GNUInstallDirs)

install(TARGETS discstart discinfo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET discinfo_check)
  install(TARGETS discinfo_check LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/discstart)
endif()
install(TARGETS disc_start RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/discstart)

# make-disc and the kit; the kit finds the programs and its data by paths relative to itself,
# so an install moved elsewhere (cmake --install --prefix) still works.
set(kit_dir ${CMAKE_INSTALL_DATADIR}/discstart)
file(RELATIVE_PATH kit_from_bin /${CMAKE_INSTALL_BINDIR} /${kit_dir})
set(KIT_FROM_BIN ${kit_from_bin})
configure_file(dist/make-disc.in ${PROJECT_BINARY_DIR}/make-disc @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/make-disc DESTINATION ${CMAKE_INSTALL_BINDIR})
file(GLOB kit_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/disckit/*.py)
install(FILES ${kit_sources} DESTINATION ${kit_dir}/disckit)
function(kit_relative variable path)
  file(RELATIVE_PATH relative /${kit_dir}/disckit /${path})
  set(${variable} ${relative} PARENT_SCOPE)
endfunction()
kit_relative(kit_launcher ${CMAKE_INSTALL_BINDIR}/discstart)
kit_relative(kit_discinfo ${CMAKE_INSTALL_BINDIR}/discinfo)
kit_relative(kit_start ${CMAKE_INSTALL_LIBDIR}/discstart/disc_start)
# The disc's own programs as a release lays them out (scripts/release/make-release): the Windows launcher and
# the Linux one as one file, with the records of what they link. Without them the package makes
# Linux discs with Qt beside the launcher.
set(DISCSTART_DISC_FOLDER "" CACHE PATH "The disc's programs for the package (scripts/release/make-release)")
set(kit_disc "")
if(DISCSTART_DISC_FOLDER)
  if(NOT EXISTS ${DISCSTART_DISC_FOLDER}/windows/discstart.exe OR NOT EXISTS ${DISCSTART_DISC_FOLDER}/linux/discstart-disc)
    message(FATAL_ERROR "DISCSTART_DISC_FOLDER=${DISCSTART_DISC_FOLDER} holds no launchers (scripts/release/make-release lays it out)")
  endif()
  install(DIRECTORY ${DISCSTART_DISC_FOLDER}/ DESTINATION ${CMAKE_INSTALL_LIBDIR}/discstart/disc USE_SOURCE_PERMISSIONS)
  kit_relative(kit_disc_dir ${CMAKE_INSTALL_LIBDIR}/discstart/disc)
  set(kit_disc "\"disc\": \"${kit_disc_dir}\", ")
  # What lintian says of the Windows program, and why it stays.
  install(FILES dist/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME discstart)
endif()
file(WRITE ${PROJECT_BINARY_DIR}/installed.json
  "{\"launcher\": \"${kit_launcher}\", \"discinfo\": \"${kit_discinfo}\", \"start\": \"${kit_start}\", "
  "${kit_disc}\"data\": \"..\", \"version\": \"${PROJECT_VERSION}\"}\n")
install(FILES ${PROJECT_BINARY_DIR}/installed.json DESTINATION ${kit_dir}/disckit)
# What every disc carries of discstart itself: its licence and its font's (named so that they
# are not taken for the package's own licence files).
install(FILES LICENSE DESTINATION ${kit_dir}/licences RENAME discstart)
install(FILES assets/fonts/LICENSE DESTINATION ${kit_dir}/licences RENAME liberation-sans)

# Man pages and the changelog compressed, as Debian keeps them.
foreach(page discstart.1 discinfo.1 make-disc.1)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dist/man/${page})
  execute_process(COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/dist/man/${page}
                  OUTPUT_FILE ${PROJECT_BINARY_DIR}/${page}.gz COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${PROJECT_BINARY_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dist/changelog)
execute_process(COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/dist/changelog
                OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES dist/completion/discinfo dist/completion/make-disc
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

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
# Whoever builds the package names themselves; the default is a placeholder that says so.
set(DISCSTART_MAINTAINER "discstart developers <maintainers@discstart.invalid>" CACHE STRING
    "The Debian package's maintainer")
set(CPACK_PACKAGE_CONTACT "${DISCSTART_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "start-up window of a movie disc, discinfo and make-disc")
set(CPACK_PACKAGE_DESCRIPTION "discstart is the window a movie disc opens: the cover, the film's name,
its tags and the technical facts read from the film's own headers, a page,
and a play button. Installed, it shows a disc's folder: discstart /cdrom.
discinfo prints what the window shows for a film or a disc folder, as text
or JSON, and checks a disc folder before it is burnt. make-disc makes a disc
that carries the window for Linux (and Windows) beside the film.")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
# make-disc is Python; the tools it runs to bundle the launcher and write the image are wanted
# for make-disc alone.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "python3")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xorriso, patchelf, binutils, icu-devtools, gcc, qt6-wayland")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The components that are installed: no tests, no benchmarks, no WebEngine module.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
include(CPack)
