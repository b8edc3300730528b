# The document fuzz run makes its compressed "bomb" with zlib.
if(TARGET viewer_test_pdffuzz)
  find_package(ZLIB REQUIRED)
  target_link_libraries(viewer_test_pdffuzz PRIVATE ZLIB::ZLIB)
  set_tests_properties(viewer.pdffuzz PROPERTIES LABELS "viewer;fuzz")
endif()
