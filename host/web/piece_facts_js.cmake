# Writes the page's copy of the piece's shared facts, an ES module, from the
# header the programs read them from: each `inline constexpr int kName =
# value;` becomes `export const kName = value;`.
#   cmake -DHEADER=base/piece_facts.h -DOUTPUT=piece_facts.js -P piece_facts_js.cmake
cmake_minimum_required(VERSION 3.21)
file(READ "${HEADER}" text)
# Semicolons would split CMake's lists; the lines are matched without them.
string(REPLACE ";" "" text "${text}")
string(REPLACE "\n" ";" lines "${text}")
set(module "// Derived from base/piece_facts.h by host/web/piece_facts_js.cmake at build\n")
string(APPEND module "// time; change the header, not this file.\n")
set(count 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^inline constexpr int (k[A-Za-z0-9]+) = (-?[0-9]+)$")
    string(APPEND module "export const ${CMAKE_MATCH_1} = ${CMAKE_MATCH_2};\n")
    math(EXPR count "${count} + 1")
  elseif(line MATCHES "constexpr" AND NOT line MATCHES "^ *//")
    message(FATAL_ERROR "${HEADER}: not `inline constexpr int kName = value;`: ${line}")
  endif()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "${HEADER} holds no fact")
endif()
file(WRITE "${OUTPUT}.new" "${module}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
