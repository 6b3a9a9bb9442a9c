# The 3-D view: its plain state (cloudview/), its Qt widget (cloudview/gui/),
# their tests, and the renderer's benchmark and demo. The renderer itself
# lives in output/ and splits frames between threads.
file(GLOB CLOUDVIEW_SOURCES CONFIGURE_DEPENDS cloudview/*.cpp)
vantrel_layer(vantrel_cloudview SOURCES ${CLOUDVIEW_SOURCES} LINKS vantrel_output)

file(GLOB CLOUDVIEW_GUI_SOURCES CONFIGURE_DEPENDS cloudview/gui/*.cpp cloudview/gui/*.h)
vantrel_layer(vantrel_cloudview_gui QT SOURCES ${CLOUDVIEW_GUI_SOURCES} LINKS vantrel_cloudview)

# Sequence runs draw the view into pictures; the window shows it.
target_link_libraries(vantrel_app PUBLIC vantrel_cloudview)
target_link_libraries(vantrel_app_gui PUBLIC vantrel_cloudview_gui)

if(VANTREL_TESTS)
  file(GLOB CLOUDVIEW_TEST_SOURCES CONFIGURE_DEPENDS tests/cloudview/*.cpp)
  vantrel_tests(test_cloudview cloudview SOURCES ${CLOUDVIEW_TEST_SOURCES} LINKS vantrel_cloudview)
  file(GLOB CLOUDVIEW_GUI_TEST_SOURCES CONFIGURE_DEPENDS tests/cloudview/gui/*.cpp)
  vantrel_tests(test_cloudview_gui cloudview.gui QT SOURCES ${CLOUDVIEW_GUI_TEST_SOURCES} LINKS vantrel_cloudview_gui)
  # The same on a screen with every pixel doubled.
  add_test(NAME cloudview.gui.AtScaleFactor2 COMMAND test_cloudview_gui)
  set_tests_properties(cloudview.gui.AtScaleFactor2 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=2")
endif()

if(VANTREL_BENCH)
  target_link_libraries(bench_cloudview PRIVATE vantrel_cloudview)
  target_link_libraries(cloudview_demo PRIVATE vantrel_cloudview_gui)
endif()
