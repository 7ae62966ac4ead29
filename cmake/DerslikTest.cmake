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
