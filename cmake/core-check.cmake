# The core is standard C++ alone: it links no Qt and includes no Qt or Windows header, neither
# in its own files nor in the platform headers it reaches. Checked when CMake configures (what
# it links) and on every build (what it includes), so a slip fails the build where it is made.

if(CMAKE_SCRIPT_MODE_FILE)
  # cmake -DFILES=a;b -DSTAMP=s -P core-check.cmake
  foreach(file IN LISTS FILES)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
      if(line MATCHES "[<\"](Q[A-Za-z0-9_]*|Qt[A-Za-z0-9_]*/[^>\"]*|windows\\.h)[>\"]")
        message(FATAL_ERROR "${file}: the core must not include ${CMAKE_MATCH_1}")
      endif()
    endforeach()
  endforeach()
  file(TOUCH "${STAMP}")
  return()
endif()

function(zintra_check_core core runtime api)
  foreach(target IN ITEMS ${core} ${runtime} ${api})
    foreach(property IN ITEMS LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(libraries ${target} ${property})
      foreach(library IN LISTS libraries)
        if(library MATCHES "Qt|user32|kernel32|gdi32")
          message(FATAL_ERROR "${target} must not link ${library}")
        endif()
      endforeach()
    endforeach()
  endforeach()

  set(files)
  foreach(target IN ITEMS ${core} ${runtime} ${api})
    get_target_property(dir ${target} SOURCE_DIR)
    foreach(property IN ITEMS SOURCES INTERFACE_SOURCES)
      get_target_property(sources ${target} ${property})
      if(NOT sources)
        continue()
      endif()
      foreach(file IN LISTS sources)
        cmake_path(ABSOLUTE_PATH file BASE_DIRECTORY ${dir})
        list(APPEND files ${file})
      endforeach()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES files)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/core-check.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} "-DFILES=${files}" -DSTAMP=${stamp} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    DEPENDS ${files} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Checking that the core stays free of Qt and Windows headers" VERBATIM)
  add_custom_target(${core}_check DEPENDS ${stamp})
  add_dependencies(${core} ${core}_check)
endfunction()
