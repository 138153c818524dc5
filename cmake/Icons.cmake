# The icons are drawn as SVG and rendered to PNG when building: at start Qt then loads neither
# its SVG module nor its icon plugins, and parses no SVG.
find_program(MIREKA_RSVG_CONVERT rsvg-convert REQUIRED)

set(MIREKA_ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(MIREKA_HICOLOR_DIR ${CMAKE_CURRENT_BINARY_DIR}/hicolor)
set(MIREKA_APP_ICON_SIZES 16 24 32 48 64 128 256)

function(mireka_render_icon svg size png)
    get_filename_component(dir ${png} DIRECTORY)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${MIREKA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
        DEPENDS ${svg} VERBATIM)
endfunction()

file(GLOB MIREKA_ICON_SVGS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/resources/icons/*.svg)
set(MIREKA_ICON_PNGS "")
set(qrc "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n")
foreach(svg ${MIREKA_ICON_SVGS})
    get_filename_component(name ${svg} NAME_WE)
    if(name STREQUAL "mireka")
        # The program's own icon: every size the desktop asks for, for the window and installed.
        foreach(size ${MIREKA_APP_ICON_SIZES})
            set(png ${MIREKA_HICOLOR_DIR}/${size}x${size}/apps/mireka.png)
            mireka_render_icon(${svg} ${size} ${png})
            list(APPEND MIREKA_ICON_PNGS ${png})
            string(APPEND qrc "    <file alias=\"icons/mireka-${size}.png\">${png}</file>\n")
        endforeach()
    else()
        # Toolbar icons: 16 pixels, and twice that for screens that scale by two.
        foreach(size 16 32)
            set(png ${MIREKA_ICON_DIR}/${name}-${size}.png)
            mireka_render_icon(${svg} ${size} ${png})
            list(APPEND MIREKA_ICON_PNGS ${png})
            string(APPEND qrc "    <file alias=\"icons/${name}-${size}.png\">${png}</file>\n")
        endforeach()
    endif()
endforeach()
string(APPEND qrc "</qresource>\n</RCC>\n")
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/mireka.qrc CONTENT "${qrc}")

set(MIREKA_ICONS_CPP ${CMAKE_CURRENT_BINARY_DIR}/qrc_mireka.cpp)
add_custom_command(OUTPUT ${MIREKA_ICONS_CPP}
    COMMAND Qt6::rcc --name mireka -o ${MIREKA_ICONS_CPP} ${CMAKE_CURRENT_BINARY_DIR}/mireka.qrc
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/mireka.qrc ${MIREKA_ICON_PNGS} VERBATIM)
