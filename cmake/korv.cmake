# korv_library(<name> DIR <folder> [DEPS <targets>...])
# One static library per layer or subsystem, made of every .cpp of its folder.
function(korv_library name)
  cmake_parse_arguments(K "" "DIR" "DEPS" ${ARGN})
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

# korv_test(<name> DIR <folder> [DEPS <targets>...])
# One test executable per folder of tests/, run by CTest headless.
function(korv_test name)
  cmake_parse_arguments(K "" "DIR" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${K_DIR}/*.cpp ${K_DIR}/*.h)
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE ${K_DEPS} korv_testsupport GTest::gtest GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KORV_SOURCE_DIR=${PROJECT_SOURCE_DIR};KORV_BINARY_DIR=${PROJECT_BINARY_DIR}"
    TIMEOUT 600)
endfunction()
