# Stored component definitions are kept in the repository in their text form
# and converted to the binary component stream at build time, by the same
# streamconv the project builds (run under Wine).
#
#   add_stored_definition(<target> <text file> <binary file> [RC <rc file>...])
#
# Adds the conversion of <text file> into <binary file> and makes <target> wait
# for it. The listed .rc files of <target>, which embed the binary as RCDATA,
# are recompiled whenever the binary changes. Relative paths are taken from the
# current source directory (text, rc) and binary directory (binary).
include_guard(GLOBAL)

set(LANZE_STORED_DEFINITIONS_RUNNER ${CMAKE_SOURCE_DIR}/tools/streamconv/run-emulated.sh)

# The build-time tools run under Wine. A host that refuses 32-bit code cannot run the
# 32-bit build's own tools, so that build can take them from another build of the same
# tree (the 64-bit one): LANZE_HOST_TOOLS names its folder. Their output does not depend on
# the target that made them (the generated-data comparison test checks it).
set(LANZE_HOST_TOOLS "" CACHE PATH
  "another build of this tree whose build-time tools this host runs (empty: this build's)")

# lanze_build_tool(<cmd var> <depends var> <tool>): the command line that runs <tool> at
# build time, and what a step running it depends on.
function(lanze_build_tool cmd_var dep_var tool)
  if(LANZE_HOST_TOOLS)
    set(${cmd_var} ${LANZE_HOST_TOOLS}/wine-exec ${LANZE_HOST_TOOLS}/${tool}.exe PARENT_SCOPE)
    set(${dep_var} ${LANZE_HOST_TOOLS}/${tool}.exe PARENT_SCOPE)
  else()
    set(${cmd_var} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${tool}> PARENT_SCOPE)
    set(${dep_var} ${tool} PARENT_SCOPE)
  endif()
endfunction()

# The emulator needs a Wine prefix. wine-exec would create a missing one on first
# use, but in the middle of a parallel build step; this target does it once,
# before any conversion (quick when the prefix is ready).
function(_lanze_wine_prefix_target)
  if(NOT TARGET wine_prefix)
    add_custom_target(wine_prefix
      COMMAND ${CMAKE_SOURCE_DIR}/tools/wine/prefix.sh ${LANZE_WINE_HOME}
      VERBATIM)
  endif()
endfunction()

function(add_stored_definition target text_file bin_file)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "RC")
  if(NOT TARGET streamconv)
    message(FATAL_ERROR "add_stored_definition: the streamconv target is not defined yet")
  endif()
  _lanze_wine_prefix_target()
  get_filename_component(text_file ${text_file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  get_filename_component(bin_file ${bin_file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_BINARY_DIR})
  get_filename_component(bin_name ${bin_file} NAME_WE)
  string(MAKE_C_IDENTIFIER "${target}_${bin_name}_definition" step)

  lanze_build_tool(converter converter_dep streamconv)
  add_custom_command(OUTPUT ${bin_file}
    COMMAND sh ${LANZE_STORED_DEFINITIONS_RUNNER} ${bin_file}.log
            ${converter} --to-binary ${text_file} ${bin_file}
    DEPENDS ${text_file} ${converter_dep} ${LANZE_STORED_DEFINITIONS_RUNNER}
    COMMENT "Converting stored definition ${bin_name}"
    VERBATIM)
  add_custom_target(${step} DEPENDS ${bin_file})
  add_dependencies(${step} wine_prefix)
  add_dependencies(${target} ${step})

  foreach(rc IN LISTS arg_RC)
    get_filename_component(rc ${rc} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    set_property(SOURCE ${rc} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS ${bin_file})
  endforeach()
endfunction()
