# The atlas and the soundtrack are the same bytes on every architecture. A
# build given QUORVANE_ASSETS (a cross build, the browser's) takes them from
# that folder, made there by generators that run on the machine that builds;
# under emulation the soundtrack alone would take many minutes. Any other
# build makes them with its own generators.
set(QUORVANE_ASSETS "" CACHE PATH "a build folder that holds TEX.tga and RX_muc.mp3 (else they are generated)")

# quorvane_generated_file(TARGET FILE COMMENT GENERATOR [ARGS...]): TARGET
# makes FILE in the build folder with `GENERATOR FILE ARGS...`, or copies it
# from QUORVANE_ASSETS. Reruns only when the generator was rebuilt: the output
# is the same bytes every time.
function(quorvane_generated_file target file comment generator)
  set(output ${CMAKE_BINARY_DIR}/${file})
  if(QUORVANE_ASSETS)
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E copy ${QUORVANE_ASSETS}/${file} ${output}
      DEPENDS ${QUORVANE_ASSETS}/${file}
      COMMENT "Taking ${file} from ${QUORVANE_ASSETS}"
      VERBATIM)
  else()
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${generator} ${output} ${ARGN}
      DEPENDS ${generator}
      COMMENT ${comment}
      VERBATIM)
  endif()
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
