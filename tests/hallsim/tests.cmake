# The hall simulation: the driver and the process hall shared by the multi-process tests and
# the scripted demo (hall-driver).
set(HALLSIM_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(hallsim STATIC
  ${HALLSIM_DIR}/voditel.cpp ${HALLSIM_DIR}/voditel.h
  ${HALLSIM_DIR}/zal.cpp ${HALLSIM_DIR}/zal.h
  ${HALLSIM_DIR}/ispytanie.cpp ${HALLSIM_DIR}/ispytanie.h
  ${HALLSIM_DIR}/zaderzhka.cpp ${HALLSIM_DIR}/zaderzhka.h
  ${HALLSIM_DIR}/sboi.cpp ${HALLSIM_DIR}/sboi.h)
target_link_libraries(hallsim PUBLIC test_support)
target_compile_options(hallsim PRIVATE ${VOTER_WARNINGS})

if(EXISTS ${HALLSIM_DIR}/hall_driver_main.cpp)
  add_executable(hall-driver ${HALLSIM_DIR}/hall_driver_main.cpp)
  target_link_libraries(hall-driver PRIVATE hallsim)
  target_compile_options(hall-driver PRIVATE ${VOTER_WARNINGS})
endif()

foreach(t hallsim_test_soak hallsim_test_faults hallsim_test_statements hallsim_test_network hallsim_test_faulttable
    hallsim_test_start200)
  if(TARGET ${t})
    target_link_libraries(${t} PRIVATE hallsim)
    add_dependencies(${t} voter voter-sql)
  endif()
endforeach()

# Real processes: run alone with `ctest -L soak` / `ctest -L faults`. The soak test plays one
# round of a meeting by default; SOAK_MINUTES=<n> in the environment makes it play rounds for
# n minutes.
if(TARGET hallsim_test_soak)
  set_tests_properties(hallsim.soak PROPERTIES LABELS "soak" TIMEOUT 3600 RUN_SERIAL TRUE)
endif()
if(TARGET hallsim_test_faults)
  set_tests_properties(hallsim.faults PROPERTIES LABELS "faults" TIMEOUT 900 RUN_SERIAL TRUE)
endif()
# The same soak with the database on a throw-away PostgreSQL server (skipped without one).
if(TARGET hallsim_test_soak)
  add_test(NAME hallsim.soak_pg COMMAND hallsim_test_soak)
  set_tests_properties(hallsim.soak_pg PROPERTIES LABELS "soak;postgres" TIMEOUT 900 RUN_SERIAL TRUE
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VOTER_BINARY_DIR=${CMAKE_BINARY_DIR};VOTER_SOURCE_DIR=${CMAKE_SOURCE_DIR};HALLSIM_ENGINE=postgres")
endif()
# The hall across network namespaces (root only; skipped where the machine offers none).
if(TARGET hallsim_test_network)
  set_tests_properties(hallsim.network PROPERTIES LABELS "network;postgres" TIMEOUT 400 RUN_SERIAL TRUE)
endif()
if(TARGET hallsim_test_faulttable)
  set_tests_properties(hallsim.faulttable PROPERTIES LABELS "faults" TIMEOUT 600 RUN_SERIAL TRUE)
endif()
# Two hundred workstations starting at once.
if(TARGET hallsim_test_start200)
  set_tests_properties(hallsim.start200 PROPERTIES LABELS "faults" TIMEOUT 600 RUN_SERIAL TRUE)
endif()
