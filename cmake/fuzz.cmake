# Fuzz targets. quorvane_add_fuzz_target(NAME SOURCES... LIBRARIES... [MAX_LEN n]
# [TIMEOUT s]) in a folder of tests, beside NAME_corpus/ and, where the format
# has keywords, NAME.dict:
# - in every build, NAME_fuzz_replay (the target with the replay driver) and
#   the test Fuzz.NAMECorpusReplays, which feeds it the whole corpus;
# - with QUORVANE_FUZZ (clang), NAME_fuzz on libFuzzer, listed in
#   fuzz-targets.txt for scripts/run_fuzz.sh with its corpus, dictionary
#   and caps. MAX_LEN is the longest input worth trying (libFuzzer's
#   -max_len), TIMEOUT the seconds after which one input counts as a hang.
option(QUORVANE_FUZZ "Build the fuzz targets on libFuzzer (clang)" OFF)
if(QUORVANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QUORVANE_FUZZ needs clang (CC=clang CXX=clang++; make fuzz sets them)")
  endif()
  # Everything linked into a target is instrumented for coverage, and checked.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  file(WRITE ${CMAKE_BINARY_DIR}/fuzz-targets.txt "")
  add_custom_target(quorvane-fuzz-targets)
endif()

function(quorvane_add_fuzz_target name)
  cmake_parse_arguments(PARSE_ARGV 1 fuzz "" "MAX_LEN;TIMEOUT" "SOURCES;LIBRARIES")
  if(NOT fuzz_MAX_LEN)
    set(fuzz_MAX_LEN 4096)
  endif()
  if(NOT fuzz_TIMEOUT)
    set(fuzz_TIMEOUT 5)
  endif()
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/${name}_corpus)
  set(dict ${CMAKE_CURRENT_SOURCE_DIR}/${name}.dict)
  if(NOT EXISTS ${dict})
    set(dict -)
  endif()
  if(QUORVANE_FUZZ)
    add_executable(${name}_fuzz ${fuzz_SOURCES})
    target_link_libraries(${name}_fuzz PRIVATE quorvane_fuzz_support ${fuzz_LIBRARIES})
    target_link_options(${name}_fuzz PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name}_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    add_dependencies(quorvane-fuzz-targets ${name}_fuzz)
    file(APPEND ${CMAKE_BINARY_DIR}/fuzz-targets.txt "${name} ${CMAKE_BINARY_DIR}/fuzz/${name}_fuzz "
         "${corpus} ${dict} ${fuzz_MAX_LEN} ${fuzz_TIMEOUT}\n")
  else()
    add_executable(${name}_fuzz_replay ${fuzz_SOURCES})
    target_link_libraries(${name}_fuzz_replay PRIVATE quorvane_fuzz_replay ${fuzz_LIBRARIES})
    add_test(NAME Fuzz.${name}CorpusReplays COMMAND ${name}_fuzz_replay ${corpus})
  endif()
endfunction()
