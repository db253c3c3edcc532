# build_info.h: the version, and the folder where an installed copy keeps
# TEX.tga and RX_muc.mp3, for the programs to print and to look in.
set(QUORVANE_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/quorvane)
configure_file(${CMAKE_CURRENT_LIST_DIR}/build_info.h.in
               ${PROJECT_BINARY_DIR}/build_info/build_info.h @ONLY)
add_library(quorvane_build_info INTERFACE)
target_include_directories(quorvane_build_info INTERFACE ${PROJECT_BINARY_DIR}/build_info)
