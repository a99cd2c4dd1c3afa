# The Linux launcher as one file (DISCSTART_SELF_CONTAINED): Qt and its plugins linked in from a
# static Qt (scripts/toolchain/qt-linux), the C++ and GCC runtimes too; left dynamic only what every
# desktop has: the C library, libxcb with its render, shm and xkb parts (GTK's X backend loads
# them), the Wayland client, xkbcommon, fontconfig, FreeType, libpng and zlib. Included before
# Qt is found: Qt's plugins look for their xcb libraries then.

# The other xcb libraries Qt's X platform uses, linked in from their archives.
set(DISCSTART_STATIC_XCB ICCCM=icccm IMAGE=image KEYSYMS=keysyms RANDR=randr RENDERUTIL=render-util
    SHAPE=shape SYNC=sync XFIXES=xfixes XINPUT=xinput XINERAMA=xinerama UTIL=util)
foreach(pair IN LISTS DISCSTART_STATIC_XCB)
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 component)
  list(GET pair 1 name)
  find_library(XCB_${component}_LIBRARY NAMES libxcb-${name}.a REQUIRED)
endforeach()

# Smallest code, one section per function and object for the linker to drop what nothing uses,
# link-time optimisation over Qt (built so) and the program.
set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-static-libstdc++ -static-libgcc -Wl,--gc-sections -Wl,--as-needed -Wl,-O1 -s)

# The plugins linked into a program: X and, where the static Qt has it, Wayland (with the xdg-shell
# protocol every current compositor speaks), and the picture formats the window and its page show
# besides the built-in BMP and PNG. No decorations: the window draws its own frame.
function(discstart_self_contained target)
  set(plugins platforms Qt6::QXcbIntegrationPlugin)
  set(no_plugins platforminputcontexts platformthemes)
  if(TARGET Qt6::QWaylandIntegrationPlugin)
    list(APPEND plugins Qt6::QWaylandIntegrationPlugin
                        wayland-shell-integration Qt6::QWaylandXdgShellIntegrationPlugin)
    list(APPEND no_plugins wayland-decoration-client wayland-graphics-integration-client)
  endif()
  qt_import_plugins(${target}
    INCLUDE_BY_TYPE ${plugins} imageformats Qt6::QJpegPlugin Qt6::QGifPlugin Qt6::QICOPlugin
    EXCLUDE_BY_TYPE ${no_plugins})
  # libxcb-image's archive needs libxcb-util's, which Qt does not name.
  target_link_libraries(${target} PRIVATE ${XCB_UTIL_LIBRARY})
endfunction()
