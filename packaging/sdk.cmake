# The platform as a development kit (component dev), for programs built outside this tree:
#
#   include/ninefold/            the public headers (platform/include, the whole folder)
#   lib/libninefold.a            every platform module's objects (window layer, device, D3DX, .x and
#                                texture loaders, stb_image and stb_image_write)
#   lib/libninefold_main.a       only the process entry: main() calling WinMain, which the linker
#                                takes from the archive only when the program defines no main
#   lib/cmake/Ninefold/          find_package(Ninefold CONFIG): the imported target Ninefold::ninefold
#   lib/pkgconfig/ninefold.pc    pkg-config --cflags --libs ninefold
#
# The archives hold the very objects the in-tree modules are built from (with each source's own
# flags, such as the x86-64-v3 variants'), so nothing is compiled twice. They are position-
# independent executable code, as Debian's compilers produce by default: they link into programs,
# not into shared libraries. Paths in the CMake and pkg-config files are relative to where those
# files are, so an installed tree can be moved.
set(platform_modules platform_base win32 d3d9 d3dx9 xfile_core xfile texture_decode texture stb_image
                     stb_image_write)
set(platform_objects)
foreach(module ${platform_modules})
  list(APPEND platform_objects $<TARGET_OBJECTS:${module}>)
endforeach()
add_library(ninefold STATIC ${platform_objects})
set_target_properties(ninefold PROPERTIES LINKER_LANGUAGE CXX)
add_library(ninefold_main STATIC $<TARGET_OBJECTS:win32_entry_objects>)
set_target_properties(ninefold_main PROPERTIES LINKER_LANGUAGE CXX)

set(sdk_includedir ${CMAKE_INSTALL_INCLUDEDIR}/ninefold)
set(sdk_cmakedir ${CMAKE_INSTALL_LIBDIR}/cmake/Ninefold)
set(sdk_pkgconfigdir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/platform/include/ DESTINATION ${sdk_includedir} COMPONENT dev)
install(TARGETS ninefold ninefold_main ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)

include(CMakePackageConfigHelpers)
file(RELATIVE_PATH cmake_to_prefix /${sdk_cmakedir} /)
file(RELATIVE_PATH pkgconfig_to_prefix /${sdk_pkgconfigdir} /)
string(REGEX REPLACE "/$" "" cmake_to_prefix ${cmake_to_prefix})
string(REGEX REPLACE "/$" "" pkgconfig_to_prefix ${pkgconfig_to_prefix})
configure_file(NinefoldConfig.cmake.in NinefoldConfig.cmake @ONLY)
write_basic_package_version_file(NinefoldConfigVersion.cmake COMPATIBILITY SameMajorVersion)
configure_file(ninefold.pc.in ninefold.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/NinefoldConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/NinefoldConfigVersion.cmake
        DESTINATION ${sdk_cmakedir} COMPONENT dev)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ninefold.pc DESTINATION ${sdk_pkgconfigdir} COMPONENT dev)
