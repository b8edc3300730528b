# The voter-sql test runs the built program itself.
if(TARGET db_test_voter_sql)
  add_dependencies(db_test_voter_sql voter-sql)
endif()
set_tests_properties(db.catalogue_pg PROPERTIES LABELS "db;postgres")
set_tests_properties(db.postgres PROPERTIES LABELS "db;postgres")
if(TARGET db_test_kopiya)
  add_dependencies(db_test_kopiya voter-sql)
endif()
