# The program's icon and the album type's icon for the hicolor theme: the
# scalable SVGs, and PNGs drawn from them at build time in the sizes desktops
# look up first (menus, file lists, docks).
set(NERIDAL_ICON_SIZES 16 22 24 32 48 64 128 256)
set(NERIDAL_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)

add_executable(neridal-icon-png ${CMAKE_SOURCE_DIR}/data/icons/render_icon_sizes.cpp)
target_link_libraries(neridal-icon-png PRIVATE Qt6::Gui Qt6::Svg)
neridal_warnings(neridal-icon-png)

# name: the icon's theme name; context: its hicolor folder (apps, mimetypes).
function(neridal_themed_icon name context)
    set(svg ${CMAKE_SOURCE_DIR}/data/icons/${name}.svg)
    set(pngs)
    foreach(size IN LISTS NERIDAL_ICON_SIZES)
        set(png ${NERIDAL_ICON_DIR}/${context}/${size}x${size}/${name}.png)
        list(APPEND pngs ${png})
        install(FILES ${png}
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/${context})
    endforeach()
    add_custom_command(OUTPUT ${pngs}
        COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
                $<TARGET_FILE:neridal-icon-png> ${svg} ${NERIDAL_ICON_DIR}/${context} ${name}
                ${NERIDAL_ICON_SIZES}
        DEPENDS neridal-icon-png ${svg}
        COMMENT "Drawing the ${name} icon in the hicolor sizes"
        VERBATIM)
    add_custom_target(neridal_icon_${context} ALL DEPENDS ${pngs})
    install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/${context})
endfunction()

neridal_themed_icon(neridal apps)
neridal_themed_icon(application-x-neridal-album mimetypes)
