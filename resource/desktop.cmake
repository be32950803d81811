# What makes the program a desktop citizen once installed: the program, its
# run-time data under share/velor-player/, the desktop entry, the icon
# (rendered from its SVG source at the sizes the icon theme asks for, as the
# skin is) and the manual page.
include(GNUInstallDirs)
set(desktop_source_dir ${CMAKE_CURRENT_LIST_DIR}/desktop)
set(icon_source ${desktop_source_dir}/velor-player.svg)
set(icon_output_dir ${CMAKE_BINARY_DIR}/icons)
set(icon_sizes 48 256)

set(icon_outputs "")
foreach(size IN LISTS icon_sizes)
  set(output ${icon_output_dir}/${size}/velor-player.png)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_output_dir}/${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${output} ${icon_source}
    DEPENDS ${icon_source}
    COMMENT "Rendering the ${size} px icon"
    VERBATIM)
  list(APPEND icon_outputs ${output})
  install(FILES ${output}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT viewer)
endforeach()
add_custom_target(velor_icons ALL DEPENDS ${icon_outputs})

install(TARGETS velor-player RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT viewer)
# The program looks for ../share/velor-player/resource beside its bin/.
install(DIRECTORY ${VELOR_RESOURCE_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/velor-player/resource
  COMPONENT viewer)
install(FILES ${desktop_source_dir}/velor-player.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT viewer)
install(FILES ${icon_source} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  COMPONENT viewer)
install(FILES ${desktop_source_dir}/velor-player.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT viewer)
