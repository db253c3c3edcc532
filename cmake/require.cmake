# quorvane_require(FOUND WHAT PACKAGES): stops configuring, naming the Debian
# packages to install, when something the build needs was not found. A build
# that quietly leaves a part out would pass its tests without testing it.
function(quorvane_require found what packages)
  if(NOT ${found})
    message(FATAL_ERROR
      "${what} not found. On Debian or Ubuntu: sudo apt-get install ${packages}\n"
      "(scripts/install-deps.sh installs everything the build and the tests need)")
  endif()
endfunction()

# Targets and tests defined in DIR and the folders below it.
function(quorvane_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(tests DIRECTORY ${dir} PROPERTY TESTS)
  list(APPEND targets ${tests})
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    quorvane_targets_below(${sub} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# quorvane_add_parts(DIR...): add_subdirectory for each, and a configure error
# for any that defines no target and no test, so that no part of the tree can drop out of
# the build (or its tests out of the suite) without anyone noticing.
function(quorvane_add_parts)
  foreach(dir ${ARGN})
    add_subdirectory(${dir})
    quorvane_targets_below(${CMAKE_CURRENT_SOURCE_DIR}/${dir} targets)
    if(NOT targets)
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}/${dir} defines no targets and no tests")
    endif()
  endforeach()
endfunction()
