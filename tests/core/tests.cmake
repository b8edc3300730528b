# The database-files test runs voter-sql as the second workstation process.
if(TARGET core_test_dbfiles)
  add_dependencies(core_test_dbfiles voter-sql)
endif()
set_tests_properties(core.push_pg PROPERTIES LABELS "core;postgres")
