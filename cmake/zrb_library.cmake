# zrb_add_library(name folder [dependencies...]): a static library of every
# C++ source directly in `folder`.
function(zrb_add_library name folder)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/*.cpp")
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
  target_compile_options(${name} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  target_link_libraries(${name} PUBLIC ${ARGN} ${ZRB_SYSTEM_LIBRARIES})
endfunction()
