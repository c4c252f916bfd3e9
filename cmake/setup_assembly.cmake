# Describes the build to tools/make-setup.sh, and lets the build assemble
# setups with it.
set(ZRB_MAKE_SETUP "${CMAKE_SOURCE_DIR}/tools/make-setup.sh")
set(ZRB_MAKE_SETUP_ENV "${CMAKE_BINARY_DIR}/zrb-make-setup.env")

set(_archives "")
foreach(library IN LISTS ZRB_SETUP_LIBRARIES)
  string(APPEND _archives " $<TARGET_FILE:${library}>")
endforeach()
set(_system "")
foreach(library IN LISTS ZRB_SYSTEM_LIBRARIES)
  string(APPEND _system " -l${library}")
endforeach()
file(GENERATE OUTPUT "${ZRB_MAKE_SETUP_ENV}" CONTENT
"ZRB_CXX='${CMAKE_CXX_COMPILER}'
ZRB_WINDRES='${CMAKE_RC_COMPILER}'
ZRB_LUAC='$<TARGET_FILE:luac>'
ZRB_LIBRARIES='${_archives}'
ZRB_SYSTEM_LINK='${_system}'
")

# zrb_assemble_setup(<target> OUTPUT <exe> [CONFIG f] [INSTALL f] [UNINSTALL f]
#   [LAYOUT f] [SKIN dir] [ICON f] [PAYLOAD path] [SOURCE_SCRIPTS]
#   [RESOURCES type name file ...])
function(zrb_assemble_setup target)
  cmake_parse_arguments(S "SOURCE_SCRIPTS" "OUTPUT;CONFIG;INSTALL;UNINSTALL;LAYOUT;SKIN;ICON;PAYLOAD"
                        "RESOURCES" ${ARGN})
  set(args --env "${ZRB_MAKE_SETUP_ENV}" --output "${S_OUTPUT}")
  set(depends ${ZRB_SETUP_LIBRARIES} luac "${ZRB_MAKE_SETUP}"
      "${CMAKE_SOURCE_DIR}/zrbinstaller/zrbinstaller.rc")
  foreach(part CONFIG INSTALL UNINSTALL LAYOUT ICON)
    if(S_${part})
      string(TOLOWER ${part} flag)
      list(APPEND args --${flag} "${S_${part}}")
      list(APPEND depends "${S_${part}}")
    endif()
  endforeach()
  foreach(part SKIN PAYLOAD)
    if(S_${part})
      string(TOLOWER ${part} flag)
      list(APPEND args --${flag} "${S_${part}}")
      if(IS_DIRECTORY "${S_${part}}")
        file(GLOB_RECURSE files CONFIGURE_DEPENDS "${S_${part}}/*")
        list(APPEND depends ${files})
      else()
        list(APPEND depends "${S_${part}}")
      endif()
    endif()
  endforeach()
  if(S_SOURCE_SCRIPTS)
    list(APPEND args --source-scripts)
  endif()
  while(S_RESOURCES)
    list(POP_FRONT S_RESOURCES type name file)
    list(APPEND args --resource ${type} ${name} "${file}")
    list(APPEND depends "${file}")
  endwhile()
  add_custom_command(OUTPUT "${S_OUTPUT}" COMMAND "${ZRB_MAKE_SETUP}" ${args}
                     DEPENDS ${depends} VERBATIM
                     COMMENT "Assembling ${S_OUTPUT}")
  add_custom_target(${target} ALL DEPENDS "${S_OUTPUT}")
endfunction()
