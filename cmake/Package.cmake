# Installs under /opt/tovaro (the help button looks for help/index.htm beside the program) with
# links in /usr/bin, a desktop entry, icons and the man page; "cpack" builds the .deb.
set(TOVARO_HOME opt/tovaro)
install(TARGETS tovaro tovaro-gen RUNTIME DESTINATION ${TOVARO_HOME})
install(DIRECTORY help/ DESTINATION ${TOVARO_HOME}/help)
install(FILES packaging/tovaro.desktop DESTINATION usr/share/applications)
install(FILES packaging/example.tovaro.Wizard.metainfo.xml DESTINATION usr/share/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES resources/icons/tovaro-${size}.png
    DESTINATION usr/share/icons/hicolor/${size}x${size}/apps RENAME tovaro.png)
endforeach()
install(FILES packaging/tovaro-gen.1 DESTINATION usr/share/man/man1)
foreach(program tovaro tovaro-gen)
  file(CREATE_LINK /${TOVARO_HOME}/${program} ${CMAKE_BINARY_DIR}/link-${program} SYMBOLIC)
  install(FILES ${CMAKE_BINARY_DIR}/link-${program} DESTINATION usr/bin RENAME ${program})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovaro-wizard)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tovaro Team <info@tovaro.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Assistent für die Suchseite einer statischen Website")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Assistent für die Suchseite einer statischen Website
 Tovaro Wizard liest Titel, Stichwörter und Beschreibung der HTML-Seiten einer Website
 und schreibt eine einzige Suchseite, die im Browser des Besuchers sucht. Dazu gehört
 der Befehl tovaro-gen für Site-Builds und Skripte.")
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
