# The panel images: embedded bytes decoded as the editor sees them, and the
# panel as the panel tool reads it back from a window.
find_package(PNG REQUIRED)

add_library(resources_test_images STATIC ${CMAKE_CURRENT_LIST_DIR}/ResourceImages.cpp)
target_link_libraries(resources_test_images PUBLIC ka813_resources PNG::PNG)

add_executable(resources_images_test ${CMAKE_CURRENT_LIST_DIR}/EmbeddedImagesTest.cpp)
target_link_libraries(resources_images_test PRIVATE resources_test_images GTest::gtest_main)
gtest_discover_tests(resources_images_test)

if(TARGET ka813-panel AND TARGET Varden_Ka318_v1_1 AND TARGET ka813_editor)
  add_executable(resources_panel_screenshot_test ${CMAKE_CURRENT_LIST_DIR}/PanelScreenshotTest.cpp)
  find_package(X11 REQUIRED)
  target_link_libraries(resources_panel_screenshot_test PRIVATE resources_test_images vsthost X11::X11
    GTest::gtest_main)
  target_compile_definitions(resources_panel_screenshot_test PRIVATE
    KA813_PANEL_TOOL="$<TARGET_FILE:ka813-panel>"
    KA813_PLUGIN="$<TARGET_FILE:Varden_Ka318_v1_1>")
  add_dependencies(resources_panel_screenshot_test ka813-panel Varden_Ka318_v1_1)
  # Its window shares the X server with the other panel tests.
  gtest_discover_tests(resources_panel_screenshot_test DISCOVERY_MODE PRE_TEST
    TEST_FILTER "-PanelScreenshot.AtScale2*"
    PROPERTIES RESOURCE_LOCK x11_display)
  # The panel at scale 2 is wider than the suite's screen: a server of its own.
  find_program(XVFB_RUN xvfb-run)
  if(XVFB_RUN)
    add_test(NAME PanelScreenshot.AtScale2OnAScreenThatHoldsIt
      COMMAND ${XVFB_RUN} -a -s "-screen 0 1600x1200x24"
              $<TARGET_FILE:resources_panel_screenshot_test> --gtest_filter=PanelScreenshot.AtScale2*)
    set_tests_properties(PanelScreenshot.AtScale2OnAScreenThatHoldsIt PROPERTIES
      FAIL_REGULAR_EXPRESSION "SKIPPED|FAILED")
  endif()
endif()
