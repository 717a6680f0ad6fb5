# Wizard tests on Qt's offscreen platform, and the screen picker against a real X server.
add_library(gui_test_main STATIC gui/gui_test_main.cpp)
target_link_libraries(gui_test_main PUBLIC tovaro_gui tovaro_test_support)

add_executable(gui_tests
  gui/shell_test.cpp
  gui/selection_test.cpp
  gui/appearance_test.cpp
  gui/generator_test.cpp
  gui/accessibility_test.cpp
  gui/caption_test.cpp
)
target_link_libraries(gui_tests PRIVATE gui_test_main)
target_compile_definitions(gui_tests PRIVATE TOVARO_GEN="$<TARGET_FILE:tovaro-gen>")
add_dependencies(gui_tests tovaro-gen)
if(CMAKE_CROSSCOMPILING)
  # Under Wine, on Qt's offscreen platform, linked in from the static Qt build.
  qt_import_plugins(gui_tests INCLUDE Qt6::QOffscreenIntegrationPlugin)
  # Left out: whether captions fit is a matter of Windows' own fonts, which Wine does not have;
  # the doubled separator at the root "/" is Linux's.
  add_test(NAME gui_tests COMMAND gui_tests
    --gtest_filter=-CaptionTest.EveryCaptionFitsItsControl:LayoutTest.EveryCaptionFitsItsControl:LinksTest.HelpPathAtTheRootKeepsTheDoubledSeparator)
  set_tests_properties(gui_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS gui
    TIMEOUT 900)
  return()
endif()
gtest_discover_tests(gui_tests
  DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS gui
)
# The captions again with the fonts of a minimal desktop (DejaVu only) and a monospace face only.
foreach(fonts dejavu-only mono-only)
  add_test(NAME gui_captions_${fonts} COMMAND gui_tests --gtest_filter=CaptionTest.*)
  set_tests_properties(gui_captions_${fonts} PROPERTIES LABELS gui ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;FONTCONFIG_FILE=${CMAKE_CURRENT_SOURCE_DIR}/gui/fonts/${fonts}.conf")
endforeach()

find_program(XVFB_RUN xvfb-run)
find_program(XDOTOOL xdotool)
if(XVFB_RUN AND XDOTOOL)
  add_executable(picker_x11_test gui/picker_x11_test.cpp)
  target_link_libraries(picker_x11_test PRIVATE gui_test_main)
  add_test(NAME picker_x11_real_screen
    COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:picker_x11_test>)
  set_tests_properties(picker_x11_real_screen PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb" TIMEOUT 120
    LABELS gui)

  # The captions as an X server renders them, with the machine's fonts and the minimal set.
  foreach(fonts machine dejavu-only)
    set(font_env "")
    if(NOT fonts STREQUAL machine)
      set(font_env "FONTCONFIG_FILE=${CMAKE_CURRENT_SOURCE_DIR}/gui/fonts/${fonts}.conf")
    endif()
    add_test(NAME gui_captions_x11_${fonts}
      COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:gui_tests>
        --gtest_filter=CaptionTest.*)
    set_tests_properties(gui_captions_x11_${fonts} PROPERTIES TIMEOUT 120 LABELS gui
      ENVIRONMENT "QT_QPA_PLATFORM=xcb;${font_env}")
  endforeach()

  enable_language(C)
  add_executable(send_close gui/send_close.c)
  target_link_libraries(send_close PRIVATE X11::X11)
  add_test(NAME wizard_close_real_screen
    COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" ${CMAKE_COMMAND} -E env
      TOVARO=$<TARGET_FILE:tovaro> SEND_CLOSE=$<TARGET_FILE:send_close> QT_QPA_PLATFORM=xcb
      bash ${CMAKE_CURRENT_SOURCE_DIR}/gui/close_test.sh)
  set_tests_properties(wizard_close_real_screen PROPERTIES TIMEOUT 120 LABELS gui)

  # The real wizard on a desktop: openbox and the accessibility bus, and the same without a
  # window manager.
  find_program(OPENBOX openbox)
  find_program(DBUS_RUN_SESSION dbus-run-session)
  if(OPENBOX AND DBUS_RUN_SESSION)
    foreach(mode openbox no_wm)
      set(no_wm 0)
      if(mode STREQUAL no_wm)
        set(no_wm 1)
      endif()
      add_test(NAME desktop_${mode}
        COMMAND ${DBUS_RUN_SESSION} -- ${CMAKE_COMMAND} -E env TOVARO=$<TARGET_FILE:tovaro>
          SEND_CLOSE=$<TARGET_FILE:send_close> NO_WM=${no_wm}
          /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/desktop/desktop_test.py)
      set_tests_properties(desktop_${mode} PROPERTIES TIMEOUT 300 LABELS desktop RUN_SERIAL TRUE)
    endforeach()
    # Page places under the window managers of the common desktops, at scale factors 1, 1.5
    # and 2, and at Xft.dpi 192 (what GNOME and Xfce set for 200 %).
    foreach(wm openbox xfwm4 kwin_x11 fluxbox)
      find_program(WM_${wm} ${wm})
      if(WM_${wm})
        foreach(scale 1 1.5 2)
          add_test(NAME desktop_place_${wm}_${scale}
            COMMAND ${CMAKE_COMMAND} -E env TOVARO=$<TARGET_FILE:tovaro> WM=${wm} SCALE=${scale}
              /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/desktop/placement_test.py)
          set_tests_properties(desktop_place_${wm}_${scale} PROPERTIES TIMEOUT 300 LABELS desktop
            RUN_SERIAL TRUE)
        endforeach()
      endif()
    endforeach()
    foreach(wm xfwm4 kwin_x11)
      if(WM_${wm})
        add_test(NAME desktop_place_${wm}_dpi192
          COMMAND ${CMAKE_COMMAND} -E env TOVARO=$<TARGET_FILE:tovaro> WM=${wm} DPI=192
            /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/desktop/placement_test.py)
        set_tests_properties(desktop_place_${wm}_dpi192 PROPERTIES TIMEOUT 300 LABELS desktop
          RUN_SERIAL TRUE)
      endif()
    endforeach()
    # A screen reader's view: names of all controls, the picker's hint, the help panel.
    add_test(NAME desktop_accessibility
      COMMAND ${DBUS_RUN_SESSION} -- ${CMAKE_COMMAND} -E env TOVARO=$<TARGET_FILE:tovaro>
        /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/desktop/accessibility_test.py)
    set_tests_properties(desktop_accessibility PROPERTIES TIMEOUT 300 LABELS desktop RUN_SERIAL TRUE)
    # Wayland sessions: the colour picker through a stand-in desktop portal, the live picker
    # without one, and the wizard on weston's headless backend.
    find_program(WESTON weston)
    if(WESTON)
      add_test(NAME desktop_wayland
        COMMAND ${DBUS_RUN_SESSION} -- ${CMAKE_COMMAND} -E env TOVARO=$<TARGET_FILE:tovaro>
          /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/desktop/wayland_test.py)
      set_tests_properties(desktop_wayland PROPERTIES TIMEOUT 300 LABELS desktop RUN_SERIAL TRUE)
    endif()
  endif()
endif()
