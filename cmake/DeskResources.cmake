# Resources beside the executables, so the client finds them from any working directory.
#   desk-resources     mirrors resources/ into <build>/bin/resources, again whenever a file there
#                      is added, changed or removed; desk-client depends on it
#   cmake --install    puts desk-client and desk-server in DESK_INSTALL_BIN and the resources in
#                      DESK_INSTALL_RESOURCES (cmake/DeskPackaging.cmake: games/ and
#                      share/desk/resources, or one folder on Windows), where the client looks
set(DESK_RESOURCES_SOURCE ${CMAKE_SOURCE_DIR}/resources)
set(DESK_RESOURCES_COPY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/resources)
set(desk_resources_stamp ${CMAKE_BINARY_DIR}/desk-resources.stamp)

file(GLOB_RECURSE desk_resource_files CONFIGURE_DEPENDS ${DESK_RESOURCES_SOURCE}/*)
# The list of names is a file rewritten only when it changes, so removing a resource re-copies.
set(desk_resources_list ${CMAKE_BINARY_DIR}/desk-resources.list)
string(JOIN "\n" desk_resource_names ${desk_resource_files})
file(CONFIGURE OUTPUT ${desk_resources_list} CONTENT "${desk_resource_names}\n")
if(EXISTS ${DESK_RESOURCES_SOURCE})
  set(desk_resources_copy
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${DESK_RESOURCES_SOURCE} ${DESK_RESOURCES_COPY})
  install(DIRECTORY ${DESK_RESOURCES_SOURCE}/ DESTINATION ${DESK_INSTALL_RESOURCES}
          PATTERN README.md EXCLUDE)
endif()
add_custom_command(
  OUTPUT ${desk_resources_stamp}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${DESK_RESOURCES_COPY}
  ${desk_resources_copy}
  COMMAND ${CMAKE_COMMAND} -E touch ${desk_resources_stamp}
  DEPENDS ${desk_resource_files} ${desk_resources_list}
  COMMENT "Copying resources/ beside the executables"
  VERBATIM)
add_custom_target(desk-resources ALL DEPENDS ${desk_resources_stamp})

# The programs' targets are made in later directories: hook them up once the whole tree is read.
function(desk_resources_hook_client)
  if(TARGET desk-client)
    add_dependencies(desk-client desk-resources)
    install(TARGETS desk-client RUNTIME DESTINATION ${DESK_INSTALL_BIN})
  endif()
  if(TARGET desk-server)
    install(TARGETS desk-server RUNTIME DESTINATION ${DESK_INSTALL_BIN})
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL desk_resources_hook_client)
