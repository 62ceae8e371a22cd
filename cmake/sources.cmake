# The library's sources, gathered from each subsystem's sources.cmake into
# KORVELIN_SOURCES, and the counter's into KORVELIN_REDIRECT_SOURCES. Included by
# the main build and by the fuzz build, so both compile the same list.
get_filename_component(_korvelin_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(KORVELIN_SOURCES "")
foreach(dir support text form profile storage)
  include("${_korvelin_root}/${dir}/sources.cmake")
endforeach()
include("${_korvelin_root}/redirect/sources.cmake")
