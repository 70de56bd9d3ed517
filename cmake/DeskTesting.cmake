# desk_add_test(NAME <target> SOURCES <files...> LIBS <libs...> [LABELS <labels...>] [TIMEOUT <s>])
# Builds one GoogleTest executable and registers each of its cases with CTest, so every case runs
# in a process of its own (the engine's singletons start fresh) and ctest -j spreads them.
# Executables labelled tsan are also gathered into the target tsan-tests, so the ThreadSanitizer
# build compiles only what it runs. Tests find the resources through DESK_RESOURCES: no build
# searches the source tree by itself.
find_package(GTest)
include(GoogleTest)

function(desk_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  # Compiled in unity batches (CMake's default of eight sources a batch), the Windows cross-build's
  # too: GoogleTest's headers are then parsed once a batch rather than once a file. Each test file
  # keeps its file-local names to itself (a namespace of its own, or names no other file uses); a
  # source that cannot is left out of the batches (SKIP_UNITY_BUILD_INCLUSION) in its folder's
  # CMakeLists.txt.
  set_target_properties(${T_NAME} PROPERTIES UNITY_BUILD ON)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # A list in one property value does not survive discovery, so the environment changes (two) and
  # the labels (often two) are set by files CTest reads afterwards. Every test's configuration
  # folder and data folder (and those of the clients and servers it starts) are the build's own,
  # so no test reads or writes the settings or the records of the person running it.
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    TEST_LIST ${T_NAME}_TESTS
    PROPERTIES TIMEOUT ${T_TIMEOUT}
               ENVIRONMENT "DESK_PICTURES_DIR=${DESK_PICTURES_DIR}"
               ENVIRONMENT "DESK_RESOURCES=${CMAKE_SOURCE_DIR}/resources")
  set(env_file "${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_env.cmake")
  file(WRITE "${env_file}"
       "foreach(test IN LISTS ${T_NAME}_TESTS)\n"
       "  set_tests_properties(\"\${test}\" PROPERTIES ENVIRONMENT_MODIFICATION\n"
       "    \"SDL_AUDIODRIVER=set:dummy;XDG_CONFIG_HOME=set:${CMAKE_BINARY_DIR}/test-config;XDG_DATA_HOME=set:${CMAKE_BINARY_DIR}/test-data\")\n"
       "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${env_file}")
  if("tsan" IN_LIST T_LABELS)
    set_property(GLOBAL APPEND PROPERTY DESK_TSAN_TESTS ${T_NAME})
  endif()
  if(T_LABELS)
    set(labels_file "${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_labels.cmake")
    file(WRITE "${labels_file}"
         "foreach(test IN LISTS ${T_NAME}_TESTS)\n"
         "  set_tests_properties(\"\${test}\" PROPERTIES LABELS \"${T_LABELS}\")\n"
         "endforeach()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${labels_file}")
  endif()
endfunction()
