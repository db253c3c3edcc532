# The installed layout, and with QUORVANE_PACKAGE what only a package needs
# (desktop entry, AppStream data, icons, man pages): debian/rules installs
# what these rules install, with CMAKE_INSTALL_PREFIX=/usr.
option(QUORVANE_PACKAGE "Build the desktop entry, AppStream data, icons and man pages" OFF)

set(QUORVANE_APP_ID org.quorvane.quorvane)
set(QUORVANE_MAINTAINER "The quorvane developers <quorvane@example.org>")
# The piece itself lives beside nothing on the path; quorvane on the path is
# a launcher that starts it in the data folder.
set(QUORVANE_PIECE ${CMAKE_INSTALL_PREFIX}/lib/quorvane/quorvane)

# run_PROGRAM: a command that runs the built PROGRAM here, for the steps that
# make the package's files with it. A cross build (the arm64 package) runs it
# under CMAKE_CROSSCOMPILING_EMULATOR (qemu-user), through a small script,
# since help2man and the icon script each take one path.
list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " emulator)
foreach(program quorvane quorvane-capture quorvane-join quorvane-stills)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(run_${program} ${PROJECT_BINARY_DIR}/emulated/${program})
    file(GENERATE OUTPUT ${run_${program}}
         CONTENT "#!/bin/sh\nexec ${emulator} '$<TARGET_FILE:${program}>' \"$@\"\n"
         FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                          WORLD_READ WORLD_EXECUTE)
  else()
    set(run_${program} $<TARGET_FILE:${program}>)
  endif()
endforeach()

# Icons from the piece's own picture; `make windows` asks for the .ico too.
set(QUORVANE_ICON_SIZES 16 24 32 48 64 128 256 512)
set(icon_dir ${PROJECT_BINARY_DIR}/icons)
set(icon_files ${icon_dir}/quorvane.ico)
foreach(size ${QUORVANE_ICON_SIZES})
  list(APPEND icon_files ${icon_dir}/${size}.png)
endforeach()
add_custom_command(
  OUTPUT ${icon_files}
  COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/render_icons.sh ${run_quorvane-stills}
          ${PROJECT_BINARY_DIR}/TEX.tga ${icon_dir} ${QUORVANE_ICON_SIZES}
  DEPENDS quorvane-stills quorvane-atlas ${PROJECT_SOURCE_DIR}/packaging/render_icons.sh
  COMMENT "Rendering the icons from the piece"
  VERBATIM)
if(QUORVANE_PACKAGE)
  add_custom_target(quorvane-icons ALL DEPENDS ${icon_files})
else()
  add_custom_target(quorvane-icons DEPENDS ${icon_files})
endif()

install(TARGETS quorvane RUNTIME DESTINATION lib/quorvane)
install(TARGETS quorvane-capture quorvane-join quorvane-stills
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_BINARY_DIR}/TEX.tga ${PROJECT_BINARY_DIR}/RX_muc.mp3
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvane)
configure_file(packaging/launcher.sh.in ${PROJECT_BINARY_DIR}/packaging/quorvane @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/quorvane DESTINATION ${CMAKE_INSTALL_BINDIR})

# The XScreenSaver display mode, where Debian's xscreensaver looks for hacks
# and for the settings that name them.
configure_file(packaging/xscreensaver.xml.in ${PROJECT_BINARY_DIR}/packaging/quorvane.xml @ONLY)
install(PROGRAMS $<TARGET_FILE:quorvane-screensaver> DESTINATION libexec/xscreensaver
        RENAME quorvane)
install(FILES ${PROJECT_BINARY_DIR}/packaging/quorvane.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)

if(NOT QUORVANE_PACKAGE)
  return()
endif()

find_program(HELP2MAN help2man)
quorvane_require(HELP2MAN "help2man" help2man)
find_program(GZIP gzip)
quorvane_require(GZIP "gzip" gzip)

set(pkg ${PROJECT_BINARY_DIR}/packaging)
configure_file(packaging/quorvane.desktop.in ${pkg}/${QUORVANE_APP_ID}.desktop @ONLY)
configure_file(packaging/metainfo.xml.in ${pkg}/${QUORVANE_APP_ID}.metainfo.xml @ONLY)

# Man pages dated by SOURCE_DATE_EPOCH (help2man reads it), compressed
# without a name or time in the header, so that they are the same bytes on
# every build.
set(man_quorvane "self-running real-time audiovisual piece")
set(man_quorvane-capture "render quorvane headless to a video or to PNG frames")
set(man_quorvane-join "join chunks of a quorvane capture into one video or folder of frames")
set(man_quorvane-stills "render moments of quorvane to PNG pictures")
# The piece's page adds the warning and examples to what --help says.
configure_file(packaging/quorvane.h2m.in ${pkg}/quorvane.h2m @ONLY)
set(h2m_quorvane --include=${pkg}/quorvane.h2m)
set(man_pages)
foreach(program quorvane quorvane-capture quorvane-join quorvane-stills)
  set(page ${pkg}/${program}.1.gz)
  add_custom_command(
    OUTPUT ${page}
    COMMAND ${HELP2MAN} --no-info --section=1 --name=${man_${program}}
            ${h2m_${program}} --output=${pkg}/${program}.1 ${run_${program}}
    COMMAND ${GZIP} -9nf ${pkg}/${program}.1
    DEPENDS ${program} ${pkg}/quorvane.h2m
    COMMENT "Writing the man page of ${program}"
    VERBATIM)
  list(APPEND man_pages ${page})
endforeach()
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
add_custom_target(quorvane-package ALL DEPENDS ${man_pages})

install(FILES ${pkg}/${QUORVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${pkg}/${QUORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${QUORVANE_ICON_SIZES})
  install(FILES ${icon_dir}/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${QUORVANE_APP_ID}.png)
endforeach()

# Everything the package holds, for `cmake --build --target quorvane-package`: the
# rest of the tree (layer tests' programs, benchmarks' tools) is not built,
# and installing does not ask for it.
add_dependencies(quorvane-package quorvane quorvane-screensaver quorvane-capture quorvane-join
                 quorvane-stills quorvane-atlas quorvane-music quorvane-icons)
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
