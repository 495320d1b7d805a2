# The panel images: embedded bytes decoded as the editor sees them, and the
# panel as the panel tool reads it back from a window.
find_package(PNG REQUIRED)

add_library(resources_test_images STATIC ${CMAKE_CURRENT_LIST_DIR}/ResourceImages.cpp)
target_link_libraries(resources_test_images PUBLIC ka813_resources PNG::PNG)

add_executable(resources_images_test ${CMAKE_CURRENT_LIST_DIR}/EmbeddedImagesTest.cpp)
target_link_libraries(resources_images_test PRIVATE resources_test_images GTest::gtest_main)
gtest_discover_tests(resources_images_test)
