# The map page: its template, and OpenLayers 2 from Debian's libjs-openlayers
# (scripts/setup.sh installs it), copied beside it so that the page needs no
# network for its script; only the map tiles come from the tile server.
set(map_output_dir ${VELOR_RESOURCE_DIR}/map)
find_path(OPENLAYERS_DIR OpenLayers.min.js PATHS /usr/share/javascript/openlayers NO_DEFAULT_PATH)
if(NOT OPENLAYERS_DIR)
  message(FATAL_ERROR "OpenLayers 2 not found: install libjs-openlayers (scripts/setup.sh)")
endif()

# source | name beside the page
set(map_files
  "${CMAKE_CURRENT_LIST_DIR}/map/page.html|page.html"
  "${OPENLAYERS_DIR}/OpenLayers.min.js|OpenLayers.js"
  "${OPENLAYERS_DIR}/img/marker.png|img/marker.png"
  "${OPENLAYERS_DIR}/theme/default/style.css|theme/default/style.css")
set(map_outputs "")
foreach(entry IN LISTS map_files)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 source)
  list(GET parts 1 name)
  set(output ${map_output_dir}/${name})
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${output}
    DEPENDS ${source} VERBATIM)
  list(APPEND map_outputs ${output})
endforeach()
add_custom_target(velor_map_files DEPENDS ${map_outputs})
add_dependencies(velor_resources velor_map_files)
