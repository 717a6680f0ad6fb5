# Installs the programs and their help into /usr/lib/tovaro (the help button looks for
# help/index.htm beside the program) with relative links in /usr/bin, a desktop entry, icons,
# the man pages, the copyright file and the changelog, laid out as Debian's policy asks (the
# test command checks the package with lintian); "cpack" builds the .deb.
set(TOVARO_HOME usr/lib/tovaro)
set(TOVARO_DOC usr/share/doc/tovaro-wizard)
install(TARGETS tovaro tovaro-gen RUNTIME DESTINATION ${TOVARO_HOME})
install(DIRECTORY help/ DESTINATION ${TOVARO_HOME}/help)
install(FILES packaging/tovaro.desktop DESTINATION usr/share/applications)
install(FILES packaging/example.tovaro.Wizard.metainfo.xml DESTINATION usr/share/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES resources/icons/tovaro-${size}.png
    DESTINATION usr/share/icons/hicolor/${size}x${size}/apps RENAME tovaro.png)
endforeach()
install(FILES packaging/debian/copyright DESTINATION ${TOVARO_DOC})

# Man pages and the changelog go in compressed with "gzip -9n" (no name, no time stamp), so
# that the package is the same from build to build.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(compressed)
foreach(source packaging/tovaro.1 packaging/tovaro-gen.1 packaging/debian/changelog)
  get_filename_component(name ${source} NAME)
  set(target ${CMAKE_BINARY_DIR}/package/${name}.gz)
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
    COMMAND ${GZIP_PROGRAM} -9n -c ${CMAKE_SOURCE_DIR}/${source} > ${target}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source} VERBATIM)
  list(APPEND compressed ${target})
endforeach()
add_custom_target(package_files ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/package/tovaro.1.gz ${CMAKE_BINARY_DIR}/package/tovaro-gen.1.gz
  DESTINATION usr/share/man/man1)
install(FILES ${CMAKE_BINARY_DIR}/package/changelog.gz DESTINATION ${TOVARO_DOC})

foreach(program tovaro tovaro-gen)
  file(CREATE_LINK ../lib/tovaro/${program} ${CMAKE_BINARY_DIR}/link-${program} SYMBOLIC)
  install(FILES ${CMAKE_BINARY_DIR}/link-${program} DESTINATION usr/bin RENAME ${program})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovaro-wizard)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tovaro Team <info@tovaro.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Assistent für die Suchseite einer statischen Website")
# CPack puts the summary first and indents these lines under it; each stays under 80 columns.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tovaro Wizard liest Titel, Stichwörter und Beschreibung der HTML-Seiten
einer Website und schreibt eine einzige Suchseite, die im Browser des
Besuchers sucht. Dazu gehört der Befehl tovaro-gen für Site-Builds und
Skripte.")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs in German; in Wayland sessions the colour picker asks the desktop portal.
# Liberation Sans has the metrics of Arial, the face the pages' captions are measured for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, xdg-desktop-portal, qt6-wayland")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_SET_DESTDIR OFF)
include(CPack)
