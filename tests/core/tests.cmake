# The database-files test runs voter-sql as the second workstation process.
if(TARGET core_test_dbfiles)
  add_dependencies(core_test_dbfiles voter-sql)
endif()

# The screens' layout on the terminals of the halls, each at the design's and a larger font
# dpi (core.maket alone is 1280 x 1024 at 96 dpi).
if(TARGET core_test_maket)
  foreach(ekran 1024x768 1280x1024 1366x768 1920x1080)
    foreach(dpi 96 120)
      if(NOT (ekran STREQUAL "1280x1024" AND dpi STREQUAL "96"))
        add_test(NAME core.maket.${ekran}.${dpi} COMMAND core_test_maket)
        set_tests_properties(core.maket.${ekran}.${dpi} PROPERTIES
          LABELS core
          TIMEOUT 600
          ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VOTER_EKRAN=${ekran};QT_FONT_DPI=${dpi};VOTER_BINARY_DIR=${CMAKE_BINARY_DIR};VOTER_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
      endif()
    endforeach()
  endforeach()
endif()
set_tests_properties(core.push_pg PROPERTIES LABELS "core;postgres")
