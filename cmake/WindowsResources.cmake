# The Windows resources of a program: its icon (the program's icon in four sizes, 32-bit with
# transparency, made with icotool from icoutils; 256 pixels as PNG, as Windows keeps its large
# icons), version information from the project's version, and its manifest. The setup program
# uses the same icon.
find_program(ICOTOOL icotool REQUIRED)
set(TOVARO_ICON ${CMAKE_BINARY_DIR}/tovaro.ico)
add_custom_command(OUTPUT ${TOVARO_ICON}
  COMMAND ${ICOTOOL} -c -o ${TOVARO_ICON}
    ${PROJECT_SOURCE_DIR}/resources/icons/tovaro-16.png
    ${PROJECT_SOURCE_DIR}/resources/icons/tovaro-32.png
    ${PROJECT_SOURCE_DIR}/resources/icons/tovaro-48.png
    --raw=${PROJECT_SOURCE_DIR}/resources/icons/tovaro-256.png
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/icons/tovaro-16.png
    ${PROJECT_SOURCE_DIR}/resources/icons/tovaro-32.png
    ${PROJECT_SOURCE_DIR}/resources/icons/tovaro-48.png
    ${PROJECT_SOURCE_DIR}/resources/icons/tovaro-256.png)
add_custom_target(tovaro_icon DEPENDS ${TOVARO_ICON})

function(tovaro_windows_resources target description manifest)
  set(TOVARO_RC_NAME ${target})
  set(TOVARO_RC_FILE ${target}.exe)
  set(TOVARO_RC_DESCRIPTION ${description})
  set(TOVARO_RC_ICON ${TOVARO_ICON})
  set(TOVARO_RC_MANIFEST ${PROJECT_SOURCE_DIR}/packaging/windows/resources/${manifest})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/resources/program.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${TOVARO_RC_MANIFEST})
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} tovaro_icon)
endfunction()
