# korv_library(<name> DIR <folder> [DEPS <targets>...])
# One static library per layer or subsystem, made of every .cpp of its folder.
function(korv_library name)
  cmake_parse_arguments(K "UNCHECKED" "DIR" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${K_DIR}/*.cpp ${K_DIR}/*.h)
  file(GLOB _cpp CONFIGURE_DEPENDS ${K_DIR}/*.cpp)
  if(NOT _cpp)
    # A layer not built yet: an interface target keeps the dependency graph whole.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${K_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${K_DEPS})
endfunction()

# korv_test(<name> DIR <folder> [DEPS <targets>...] [UNCHECKED])
# One test executable per folder of tests/, run by CTest headless. Each test case is a CTest test
# of its own ("<name>:Suite.Case"), listed when CTest starts, so CTest runs the cases in parallel
# and times each one. Cases run with KORV_SQL_CACHE_CHECK (every kept statement translation is
# compared with a fresh one); UNCHECKED runs every case a second time without it
# ("<name>:Unchecked:Suite.Case"), on the statement path the program itself takes.
include(GoogleTest)
function(korv_test name)
  cmake_parse_arguments(K "UNCHECKED" "DIR" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${K_DIR}/*.cpp ${K_DIR}/*.h)
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE ${K_DEPS} korv_testsupport GTest::gtest GTest::gmock)
  gtest_discover_tests(${name} TEST_PREFIX "${name}:" TEST_LIST ${name}_CASES DISCOVERY_MODE PRE_TEST
                       DISCOVERY_TIMEOUT 120)
  # The environment and the time limit of every case, set once the cases are listed (a list
  # value such as ENVIRONMENT does not pass through the discovery's own properties).
  set(_env "QT_QPA_PLATFORM=offscreen;KORV_SQL_CACHE_CHECK=1;KORV_SOURCE_DIR=${PROJECT_SOURCE_DIR};KORV_BINARY_DIR=${PROJECT_BINARY_DIR}")
  set(_props "${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake")
  file(WRITE "${_props}"
       "if(${name}_CASES)\n"
       "  set_tests_properties(\${${name}_CASES} PROPERTIES ENVIRONMENT \"${_env}\" TIMEOUT 600)\n"
       "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${_props}")
  if(K_UNCHECKED)
    gtest_discover_tests(${name} TEST_PREFIX "${name}:Unchecked:" TEST_LIST ${name}_UNCHECKED
                         DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120)
    set(_envu "QT_QPA_PLATFORM=offscreen;KORV_SOURCE_DIR=${PROJECT_SOURCE_DIR};KORV_BINARY_DIR=${PROJECT_BINARY_DIR}")
    set(_propsu "${CMAKE_CURRENT_BINARY_DIR}/${name}_unchecked_properties.cmake")
    file(WRITE "${_propsu}"
         "if(${name}_UNCHECKED)\n"
         "  set_tests_properties(\${${name}_UNCHECKED} PROPERTIES ENVIRONMENT \"${_envu}\" TIMEOUT 600)\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${_propsu}")
  endif()
endfunction()
