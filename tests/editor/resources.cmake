# The embedded panel images, decoded as the editor sees them.
find_package(PNG REQUIRED)
add_executable(resources_images_test ${CMAKE_CURRENT_LIST_DIR}/EmbeddedImagesTest.cpp)
target_link_libraries(resources_images_test PRIVATE ka813_resources PNG::PNG GTest::gtest_main)
gtest_discover_tests(resources_images_test)
