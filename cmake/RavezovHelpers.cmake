# ravezov_layer(NAME DIR [DEPS ...])
# A layer is a static library made of every .cpp directly in DIR; its headers
# live beside the sources and DIR is its public include directory.
function(ravezov_layer name dir)
  cmake_parse_arguments(L "" "" "DEPS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(_srcs)
    add_library(${name} STATIC ${_srcs})
    target_include_directories(${name} PUBLIC ${dir})
    target_link_libraries(${name} PUBLIC ${L_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${dir})
    target_link_libraries(${name} INTERFACE ${L_DEPS})
  endif()
endfunction()

# ravezov_tests(NAME DIR [QT] LIBS ... [PROPERTIES ...])
# One test executable per layer, from every .cpp in DIR and the shared test
# main; the tests are discovered when ctest runs, not at build time.
# PROPERTIES are extra test properties (e.g. a RESOURCE_LOCK).
function(ravezov_tests name dir)
  cmake_parse_arguments(T "QT" "" "LIBS;PROPERTIES" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT _srcs)
    return()
  endif()
  add_executable(${name} ${_srcs})
  target_include_directories(${name} PRIVATE ${dir} ${PROJECT_SOURCE_DIR}/tests/support)
  if(T_QT)
    target_link_libraries(${name} PRIVATE ravezov_test_main_qt ${T_LIBS})
  else()
    target_link_libraries(${name} PRIVATE ravezov_test_main ${T_LIBS})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "RAVEZOV_SAMPLES=${PROJECT_BINARY_DIR}/samples" ${T_PROPERTIES})
endfunction()
