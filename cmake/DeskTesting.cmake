# desk_add_test(NAME <target> SOURCES <files...> LIBS <libs...> [LABELS <labels...>] [TIMEOUT <s>])
# Builds one GoogleTest executable and registers each of its cases with CTest, so every case runs
# in a process of its own (the engine's singletons start fresh) and ctest -j spreads them.
find_package(GTest)
include(GoogleTest)

function(desk_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # An empty LABELS would take the next keyword as its value (and lose the environment).
  set(label_property "")
  if(T_LABELS)
    set(label_property LABELS "${T_LABELS}")
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${T_TIMEOUT} ${label_property}
               ENVIRONMENT "DESK_PICTURES_DIR=${DESK_PICTURES_DIR};SDL_AUDIODRIVER=dummy")
endfunction()
