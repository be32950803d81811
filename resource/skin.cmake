# Skin pictures: every resource/skin-src/<name>.svg is rendered to
# ${VELOR_RESOURCE_DIR}/skin/<name>.png at the size that
# resource/skin-src/manifest.txt gives for it. The manifest is the one list
# of pictures and sizes; an SVG without a line there (or a line without its
# SVG) stops the configuration, so nothing is silently left out.
set(skin_source_dir ${CMAKE_CURRENT_LIST_DIR}/skin-src)
set(skin_manifest ${skin_source_dir}/manifest.txt)
set(skin_output_dir ${VELOR_RESOURCE_DIR}/skin)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${skin_manifest})

file(GLOB_RECURSE skin_sources CONFIGURE_DEPENDS RELATIVE ${skin_source_dir} ${skin_source_dir}/*.svg)
file(STRINGS ${skin_manifest} skin_lines REGEX "^[^#]")

set(skin_outputs "")
set(skin_listed "")
foreach(line IN LISTS skin_lines)
  string(REGEX MATCH "^([^ ]+)\\.png ([0-9]+) ([0-9]+)" matched "${line}")
  if(NOT matched)
    message(FATAL_ERROR "skin manifest: cannot read the line '${line}'")
  endif()
  set(name ${CMAKE_MATCH_1})
  set(width ${CMAKE_MATCH_2})
  set(height ${CMAKE_MATCH_3})
  set(source ${skin_source_dir}/${name}.svg)
  if(NOT EXISTS ${source})
    message(FATAL_ERROR "skin manifest: ${name}.png has no source ${source}")
  endif()
  list(APPEND skin_listed ${name}.svg)
  set(output ${skin_output_dir}/${name}.png)
  get_filename_component(output_dir ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    COMMAND ${RSVG_CONVERT} -w ${width} -h ${height} -o ${output} ${source}
    DEPENDS ${source} ${skin_manifest}
    COMMENT "Rendering skin/${name}.png"
    VERBATIM)
  list(APPEND skin_outputs ${output})
endforeach()

foreach(source IN LISTS skin_sources)
  if(NOT source IN_LIST skin_listed)
    message(FATAL_ERROR "skin: ${source} is not in ${skin_manifest}")
  endif()
endforeach()

add_custom_target(velor_skin DEPENDS ${skin_outputs})
add_dependencies(velor_resources velor_skin)
