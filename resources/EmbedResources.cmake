# Writes a C++ source holding the bytes of every image in the resource list.
#   cmake -DLIST=<resources.list> -DOUTPUT=<file.cpp> -P EmbedResources.cmake
# The images are looked up beside the list.

get_filename_component(dir "${LIST}" DIRECTORY)
file(STRINGS "${LIST}" lines REGEX "^[ \t]*[0-9]")

set(arrays "")
set(entries "")
set(count 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[ \t]*([0-9]+)[ \t]+([^ \t]+)[ \t]*$")
    message(FATAL_ERROR "resources.list: cannot read \"${line}\"")
  endif()
  set(id ${CMAKE_MATCH_1})
  set(file "${dir}/${CMAKE_MATCH_2}")
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "resources.list: ${file} is missing")
  endif()
  file(SIZE "${file}" size)
  file(READ "${file}" hex HEX)
  # Sixteen bytes to a line keeps the generated source readable by tools.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n" hex "${hex}")
  string(APPEND arrays "alignas(16) const unsigned char kResource${id}[${size}] = {\n${hex}\n};\n\n")
  string(APPEND entries "    {${id}, kResource${id}, ${size}ul},\n")
  math(EXPR count "${count} + 1")
endforeach()

set(source "// Written by the build from resources.list; do not edit.
#include \"EmbeddedResourceTable.h\"

namespace ka813 {

namespace {

${arrays}} // namespace

const EmbeddedResourceEntry kEmbeddedResourceTable[] = {
${entries}};
const int kEmbeddedResourceCount = ${count};

}  // namespace ka813
")

# Leave an unchanged file alone so that nothing recompiles needlessly.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
  if(old STREQUAL source)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${source}")
