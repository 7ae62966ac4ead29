# derslik_core_test(name sources...): a QtTest executable that links only the core.
# derslik_app_test(name sources...): runs real screens on the offscreen platform.
function(derslik_core_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE derslik_options derslik_core Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 300)
endfunction()

function(derslik_app_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE derslik_options derslik_widgets Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 300)
endfunction()

# derslik_server_test(name [target] [-- test functions...]): runs a core test
# executable (`target`, or `name` itself) against a throwaway PostgreSQL cluster
# (tests/support/pgcluster.sh); the cluster's failing to start fails the test.
# Test functions given after "--" limit the run to them.
function(derslik_server_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "")
  set(target ${name})
  set(functions "")
  set(seen_dashes FALSE)
  foreach(a IN LISTS arg_UNPARSED_ARGUMENTS)
    if(a STREQUAL "--")
      set(seen_dashes TRUE)
    elseif(seen_dashes)
      list(APPEND functions ${a})
    else()
      set(target ${a})
    endif()
  endforeach()
  add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/tests/support/pgcluster.sh
           $<TARGET_FILE:${target}> ${functions})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 300)
endfunction()
