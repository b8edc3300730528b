# The voter-sql test runs the built program itself.
if(TARGET db_test_voter_sql)
  add_dependencies(db_test_voter_sql voter-sql)
endif()
if(TARGET db_test_kopiya)
  add_dependencies(db_test_kopiya voter-sql)
endif()
