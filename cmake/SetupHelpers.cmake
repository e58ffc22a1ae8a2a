# One line per test executable: setup_add_test(name SOURCES ... LIBS ... [LABELS ...]).
# Every test runs with HOME, the XDG folders and SETUP_PREFIX inside a fresh
# temporary folder (tests/support/test_main.cpp), never the real home.
function(setup_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE test_support ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SETUP_SOURCE_DIR=${PROJECT_SOURCE_DIR};SETUP_BINARY_DIR=${PROJECT_BINARY_DIR};${T_ENV}")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# A library made of every source in the calling folder.
function(setup_folder_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
endfunction()
