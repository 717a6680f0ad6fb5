# The wizard: Qt 6 Widgets pages over the core.
find_package(Qt6 REQUIRED COMPONENTS Widgets DBus)
find_package(X11)
set(CMAKE_AUTOMOC ON)

# Layers: the shell (page frame, navigation, desktop services) over the core; each page folder
# over the core and the shell only; the app, which creates the pages, over all of them.
add_library(tovaro_shell STATIC
  src/shell/layout.cpp
  src/shell/wizard_page.cpp
  src/shell/document_opener.cpp
  src/shell/settings.cpp
  src/shell/program.cpp
  src/shell/window_place.cpp
  src/shell/close_requests.cpp
  src/shell/link_label.cpp
  src/shell/accessibility.cpp
  resources/tovaro.qrc
)
target_link_libraries(tovaro_shell PUBLIC tovaro_core Qt6::Widgets)
set_target_properties(tovaro_shell PROPERTIES AUTORCC ON)

add_library(tovaro_selection STATIC
  src/selection/drive_box.cpp
  src/selection/dir_box.cpp
  src/selection/file_box.cpp
  src/selection/file_list_box.cpp
  src/selection/file_selection_page.cpp
)
target_link_libraries(tovaro_selection PUBLIC tovaro_shell)

add_library(tovaro_appearance STATIC
  src/appearance/appearance_page.cpp
  src/appearance/colour_dialog.cpp
  src/appearance/screen_picker.cpp
  src/appearance/portal_picker.cpp
  src/appearance/screen_sources.cpp
  $<$<BOOL:${X11_FOUND}>:src/appearance/x11_key_source.cpp>
)
target_link_libraries(tovaro_appearance PUBLIC tovaro_shell Qt6::DBus)

add_library(tovaro_generator STATIC
  src/generator/generation_page.cpp
  src/generator/status_panel.cpp
)
target_link_libraries(tovaro_generator PUBLIC tovaro_shell)

if(X11_FOUND)
  foreach(layer tovaro_shell tovaro_appearance)
    target_compile_definitions(${layer} PRIVATE TOVARO_HAVE_X11=1)
    target_link_libraries(${layer} PRIVATE X11::X11)
  endforeach()
endif()

add_library(tovaro_gui STATIC src/app/wizard.cpp)
target_link_libraries(tovaro_gui PUBLIC tovaro_selection tovaro_appearance tovaro_generator)

add_executable(tovaro src/app/main.cpp)
target_link_libraries(tovaro PRIVATE tovaro_gui)
set_target_properties(tovaro PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The help button looks for help/index.htm beside the program.
add_custom_command(TARGET tovaro POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/help ${CMAKE_BINARY_DIR}/help)

include(cmake/Package.cmake)
