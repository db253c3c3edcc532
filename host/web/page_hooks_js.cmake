# Writes the JavaScript side of the program's contract with the page from its
# one declaration, page_hooks.h: for each `RESULT PageName(PARAMETERS);` a
# library function PageName that calls Module.page.name, the hook of the same
# purpose, with each argument read as its C type says; the hooks in YIELDING
# wait for the page through Asyncify, handing it the function that wakes the
# program. The runtime checks at its start that the page has every hook.
#   cmake -DHEADER=page_hooks.h -DOUTPUT=page_hooks.js "-DYIELDING=A;B" -P page_hooks_js.cmake
cmake_minimum_required(VERSION 3.21)
file(READ "${HEADER}" text)
string(REPLACE ";" "" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

set(names "")
set(functions "")
foreach(line IN LISTS lines)
  if(line MATCHES "^(//|#|extern \"C\" {|}|$)")
    continue()
  endif()
  if(NOT line MATCHES "^(void|bool) Page([A-Z])([A-Za-z0-9]*)\\(([^)]*)\\)$")
    message(FATAL_ERROR "${HEADER}: not a declaration of a hook: ${line}")
  endif()
  set(result ${CMAKE_MATCH_1})
  set(function "Page${CMAKE_MATCH_2}${CMAKE_MATCH_3}")
  string(TOLOWER ${CMAKE_MATCH_2} first)
  set(hook "${first}${CMAKE_MATCH_3}")
  set(parameters "")
  set(arguments "")
  string(REPLACE ", " ";" declared "${CMAKE_MATCH_4}")
  foreach(parameter IN LISTS declared)
    if(NOT parameter MATCHES "^(int|double|uint32_t|const char\\*) ([A-Za-z0-9]+)$")
      message(FATAL_ERROR "${HEADER}: ${function}: a parameter of no known type: ${parameter}")
    endif()
    set(name ${CMAKE_MATCH_2})
    if(CMAKE_MATCH_1 STREQUAL "uint32_t")
      set(argument "${name} >>> 0")
    elseif(CMAKE_MATCH_1 STREQUAL "const char*")
      set(argument "UTF8ToString(${name})")
    else()
      set(argument "${name}")
    endif()
    list(APPEND parameters ${name})
    list(APPEND arguments "${argument}")
  endforeach()
  list(JOIN parameters ", " parameters)
  set(call "Module['page']['${hook}']")
  if(function IN_LIST YIELDING)
    list(PREPEND arguments wakeUp)
    list(JOIN arguments ", " arguments)
    set(body "return Asyncify.handleSleep(wakeUp => ${call}(${arguments}))")
  else()
    list(JOIN arguments ", " arguments)
    if(result STREQUAL "bool")
      set(body "return ${call}(${arguments}) ? 1 : 0")
    else()
      set(body "${call}(${arguments})")
    endif()
  endif()
  list(APPEND names "'${hook}'")
  string(APPEND functions "  ${function}__deps: ['$pageHooks'],\n"
                          "  ${function}: function(${parameters}) { ${body}; },\n")
endforeach()
if(names STREQUAL "")
  message(FATAL_ERROR "${HEADER} declares no hook")
endif()
list(JOIN names ", " names)

file(WRITE "${OUTPUT}.new"
"// Derived from host/web/page_hooks.h by host/web/page_hooks_js.cmake at build\n"
"// time; change the header, not this file.\n"
"mergeInto(LibraryManager.library, {\n"
"  $pageHooks__postset: 'addOnInit(pageHooks.check);',\n"
"  $pageHooks: {\n"
"    names: [${names}],\n"
"    check: function() {\n"
"      const page = Module['page'] || {};\n"
"      const missing = pageHooks.names.filter(name => typeof page[name] != 'function');\n"
"      if (missing.length) abort('the page lacks the hooks ' + missing.join(', '));\n"
"    },\n"
"  },\n"
"${functions}"
"});\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
