# zrb_png_resources(<target> <id> <name> "<ImageMagick arguments>" ...):
# draws each image with ImageMagick's convert at build time (32-bit RGBA PNG
# without ancillary chunks, so no gamma or colour profile changes a pixel)
# and links them into <target> as resources of type "PNG" with the numeric
# ids given, through a generated .rc file. Arguments "FILE <path>" take an
# existing file as it is instead.
find_program(ZRB_CONVERT convert)

function(zrb_png_resources target)
  if(NOT ZRB_CONVERT)
    message(FATAL_ERROR "ImageMagick's convert is missing: run tools/setup.sh first")
  endif()
  set(dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_png")
  set(rc_text "")
  set(images "")
  set(entries ${ARGN})
  while(entries)
    list(POP_FRONT entries id name arguments)
    if(arguments MATCHES "^FILE (.+)$")
      set(png "${CMAKE_MATCH_1}")
    else()
      set(png "${dir}/${name}.png")
      separate_arguments(arguments UNIX_COMMAND "${arguments}")
      add_custom_command(OUTPUT "${png}"
                         COMMAND "${CMAKE_COMMAND}" -E make_directory "${dir}"
                         COMMAND "${ZRB_CONVERT}" ${arguments} -define png:exclude-chunk=all
                                 "PNG32:${png}"
                         VERBATIM COMMENT "Drawing ${name}.png")
    endif()
    string(APPEND rc_text "${id} PNG \"${png}\"\n")
    list(APPEND images "${png}")
  endwhile()
  set(rc "${dir}/${target}_png.rc")
  file(CONFIGURE OUTPUT "${rc}" CONTENT "${rc_text}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
  set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${images}")
endfunction()
