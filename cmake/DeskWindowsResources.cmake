# desk_windows_resources(<target> <description>)
# On Windows, links into the program <target> its resources, compiled by windres: the icon
# (resources/icon.ico, made by desk-resgen), the application manifest (proj.win32/desk.manifest:
# per-monitor DPI aware) and a version resource: product name, the project's version
# (PROJECT_VERSION, the one place it is kept), the project as company, and <description>.
# Nothing elsewhere.
if(WIN32)
  enable_language(RC)
endif()

function(desk_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(DESK_RC_NAME ${target})
  set(DESK_RC_DESCRIPTION "${description}")
  set(DESK_RC_ICON ${CMAKE_SOURCE_DIR}/resources/icon.ico)
  set(DESK_RC_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  # Windows wants four numbers: 1.0 is 1.0.0.0.
  set(parts)
  foreach(part MAJOR MINOR PATCH TWEAK)
    if("${PROJECT_VERSION_${part}}" STREQUAL "")
      list(APPEND parts 0)
    else()
      list(APPEND parts ${PROJECT_VERSION_${part}})
    endif()
  endforeach()
  string(JOIN "," DESK_RC_VERSION_COMMAS ${parts})
  string(JOIN "." DESK_RC_VERSION4 ${parts})
  configure_file(${CMAKE_SOURCE_DIR}/proj.win32/desk.manifest ${DESK_RC_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/proj.win32/desk.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}.rc PROPERTIES
    OBJECT_DEPENDS "${DESK_RC_ICON};${DESK_RC_MANIFEST}")
endfunction()
