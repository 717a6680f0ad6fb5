# The wizard: Qt 6 Widgets pages over the core.
find_package(Qt6 REQUIRED COMPONENTS Widgets DBus)
find_package(X11)
set(CMAKE_AUTOMOC ON)

add_library(tovaro_gui STATIC
  src/shell/layout.cpp
  src/shell/wizard_page.cpp
  src/shell/url.cpp
  src/shell/settings.cpp
  src/shell/program.cpp
  src/shell/window_place.cpp
  src/shell/close_requests.cpp
  src/selection/drive_box.cpp
  src/selection/dir_box.cpp
  src/selection/file_box.cpp
  src/selection/file_list_box.cpp
  src/selection/file_selection_page.cpp
  src/appearance/appearance_page.cpp
  src/appearance/colour_dialog.cpp
  src/appearance/screen_picker.cpp
  src/appearance/portal_picker.cpp
  src/appearance/screen_sources.cpp
  $<$<BOOL:${X11_FOUND}>:src/appearance/x11_key_source.cpp>
  src/generator/generation_page.cpp
  src/app/wizard.cpp
  resources/tovaro.qrc
)
target_include_directories(tovaro_gui PUBLIC src)
target_link_libraries(tovaro_gui PUBLIC tovaro_core Qt6::Widgets Qt6::DBus)
if(X11_FOUND)
  target_compile_definitions(tovaro_gui PRIVATE TOVARO_HAVE_X11=1)
  target_link_libraries(tovaro_gui PRIVATE X11::X11)
endif()
set_target_properties(tovaro_gui PROPERTIES AUTORCC ON)

add_executable(tovaro src/app/main.cpp)
target_link_libraries(tovaro PRIVATE tovaro_gui)
set_target_properties(tovaro PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The help button looks for help/index.htm beside the program.
add_custom_command(TARGET tovaro POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/help ${CMAKE_BINARY_DIR}/help)

include(cmake/Package.cmake)
