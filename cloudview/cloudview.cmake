# The 3-D view: its plain state (cloudview/), its Qt widget (cloudview/gui/),
# their tests, and the renderer's benchmark and demo. The renderer itself
# lives in output/ and splits frames between threads.
find_package(Threads REQUIRED)
target_link_libraries(vantrel_output PUBLIC Threads::Threads)

file(GLOB CLOUDVIEW_SOURCES CONFIGURE_DEPENDS cloudview/*.cpp)
add_library(vantrel_cloudview STATIC ${CLOUDVIEW_SOURCES})
target_link_libraries(vantrel_cloudview PUBLIC vantrel_output)
target_compile_options(vantrel_cloudview PRIVATE -Wall -Wextra)

file(GLOB CLOUDVIEW_GUI_SOURCES CONFIGURE_DEPENDS cloudview/gui/*.cpp cloudview/gui/*.h)
add_library(vantrel_cloudview_gui STATIC ${CLOUDVIEW_GUI_SOURCES})
set_target_properties(vantrel_cloudview_gui PROPERTIES AUTOMOC ON)
target_link_libraries(vantrel_cloudview_gui PUBLIC vantrel_cloudview Qt6::Widgets)
target_compile_options(vantrel_cloudview_gui PRIVATE -Wall -Wextra)

# Sequence runs draw the view into pictures; the window shows it.
target_link_libraries(vantrel_app PUBLIC vantrel_cloudview)
target_link_libraries(vantrel_gui PUBLIC vantrel_cloudview_gui)

if(VANTREL_TESTS)
  file(GLOB CLOUDVIEW_TEST_SOURCES CONFIGURE_DEPENDS tests/cloudview/*.cpp)
  add_executable(test_cloudview ${CLOUDVIEW_TEST_SOURCES})
  target_include_directories(test_cloudview PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(test_cloudview PRIVATE vantrel_cloudview GTest::gtest GTest::gtest_main)
  gtest_discover_tests(test_cloudview DISCOVERY_MODE PRE_TEST TEST_PREFIX "cloudview.")

  file(GLOB CLOUDVIEW_GUI_TEST_SOURCES CONFIGURE_DEPENDS tests/cloudview/gui/*.cpp)
  add_executable(test_cloudview_gui ${CLOUDVIEW_GUI_TEST_SOURCES} tests/support/guimain.cpp)
  target_include_directories(test_cloudview_gui PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(test_cloudview_gui PRIVATE vantrel_cloudview_gui Qt6::Test GTest::gtest)
  gtest_discover_tests(test_cloudview_gui DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TEST_PREFIX "cloudview.gui.")
  # The same on a screen with every pixel doubled.
  add_test(NAME cloudview.gui.AtScaleFactor2 COMMAND test_cloudview_gui)
  set_tests_properties(cloudview.gui.AtScaleFactor2 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=2")
endif()

if(VANTREL_BENCH)
  target_link_libraries(bench_cloudview PRIVATE vantrel_cloudview)
  target_link_libraries(cloudview_demo PRIVATE vantrel_cloudview_gui)
endif()
