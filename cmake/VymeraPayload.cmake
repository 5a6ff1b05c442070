# vymera_payload(target ITEMS type id source [type id source ...] [DEPENDS targets...])
#
# Links files into the program `target` as payload items (platform/payload.h), found by type name
# and numeric id, in the order given. A source is the name of a target of this build (its file is
# taken, and the program is relinked when it changes) or a file path; DEPENDS names the custom
# targets that make the file sources. On Linux the items go into a generated C++ file as assembly
# ".incbin"s with a table beside them; on Windows into a generated resource script, one resource of
# the item's type and id each, with a table of their names that the program finds them by.
function(vymera_payload target)
  cmake_parse_arguments(P "" "" "ITEMS;DEPENDS" ${ARGN})
  list(LENGTH P_ITEMS count)
  math(EXPR remainder "${count} % 3")
  if(count EQUAL 0 OR NOT remainder EQUAL 0)
    message(FATAL_ERROR "vymera_payload(${target}): ITEMS come in threes: type id source")
  endif()
  math(EXPR last "${count} / 3 - 1")

  set(labels "")
  set(declarations "")
  set(rows "")
  set(resources "")
  set(names "")
  set(depends ${P_DEPENDS})
  set(keys "")
  foreach(i RANGE ${last})
    math(EXPR t "${i} * 3")
    math(EXPR d "${i} * 3 + 1")
    math(EXPR s "${i} * 3 + 2")
    list(GET P_ITEMS ${t} type)
    list(GET P_ITEMS ${d} id)
    list(GET P_ITEMS ${s} source)
    if(NOT type MATCHES "^[A-Z]+$" OR NOT id MATCHES "^[0-9]+$")
      message(FATAL_ERROR "vymera_payload(${target}): '${type} ${id}' is no type name and number")
    endif()
    if("${type}:${id}" IN_LIST keys)
      message(FATAL_ERROR "vymera_payload(${target}): ${type} ${id} is listed twice")
    endif()
    if(WIN32 AND type MATCHES "^(ICON|BITMAP|CURSOR|FONT|MENU|DIALOG|DIALOGEX|STRINGTABLE|ACCELERATORS|RCDATA|VERSIONINFO|HTML|MANIFEST|MESSAGETABLE|TOOLBAR|MENUEX|DLGINIT|PLUGPLAY|VXD|ANICURSOR|ANIICON|FONTDIR|LANGUAGE|BEGIN|END)$")
      message(FATAL_ERROR "vymera_payload(${target}): ${type} is a word of the resource compiler's own")
    endif()
    if(WIN32 AND id GREATER 65535)
      message(FATAL_ERROR "vymera_payload(${target}): resource ids end at 65535")
    endif()
    list(APPEND keys "${type}:${id}")
    if(TARGET ${source})
      set(file "$<TARGET_FILE:${source}>")
    else()
      if(source MATCHES "[\"\\\\]")
        message(FATAL_ERROR "vymera_payload(${target}): the path ${source} cannot be carried into assembly")
      endif()
      set(file "${source}")
    endif()
    list(APPEND depends ${source})
    set(symbol "vymera_payload_${i}")
    string(APPEND labels
      ".balign 16\n"
      ".globl ${symbol}_begin\n.hidden ${symbol}_begin\n${symbol}_begin:\n"
      ".incbin \\\"${file}\\\"\n"
      ".globl ${symbol}_end\n.hidden ${symbol}_end\n${symbol}_end:\n")
    string(APPEND declarations
      "extern \"C\" __attribute__((visibility(\"hidden\"))) const unsigned char ${symbol}_begin[], ${symbol}_end[];\n")
    string(APPEND rows "    {\"${type}\", ${id}, ${symbol}_begin, ${symbol}_end},\n")
    string(APPEND resources "${id} ${type} \"${file}\"\n")
    string(APPEND names "    {\"${type}\", ${id}},\n")
  endforeach()

  if(WIN32)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_payload.rc)
    file(GENERATE OUTPUT ${out}.in CONTENT "// Made by the build: the payload items of ${target}.\n${resources}")
    set(table ${CMAKE_CURRENT_BINARY_DIR}/${target}_payload.cpp)
    file(GENERATE OUTPUT ${table} CONTENT
"// Made by the build: the names of the payload items of ${target}, in the order listed.
#include \"platform/payload_resources.h\"

namespace {
const platform::PayloadName kNames[] = {
${names}};
}  // namespace

std::span<const platform::PayloadItem> platform::LinkedPayload() { return platform::ResolvePayload(kNames); }
")
    # The resource compiler does not tell which files a script takes in, so the script is copied
    # afresh whenever an item changes and the resources are compiled again from it.
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E copy ${out}.in ${out}
      DEPENDS ${out}.in ${depends}
      COMMENT "Payload items of ${target}"
      VERBATIM)
    target_sources(${target} PRIVATE ${out} ${table})
    return()
  endif()
  string(REPLACE "\n" "\\n\"\n    \"" labels "${labels}")

  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_payload.cpp)
  file(GENERATE OUTPUT ${out}.in CONTENT
"// Made by the build: the payload items of ${target}.
#include \"platform/payload.h\"

__asm__(
    \".section .rodata.vymera_payload,\\\"a\\\",%progbits\\n\"
    \"${labels}\"
    \".previous\\n\");

${declarations}
namespace {
const platform::PayloadItem kItems[] = {
${rows}};
}  // namespace

std::span<const platform::PayloadItem> platform::LinkedPayload() { return kItems; }
")
  # The compiler does not see into .incbin, so the source is copied afresh whenever an item changes
  # and the object is rebuilt from it.
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E copy ${out}.in ${out}
    DEPENDS ${out}.in ${depends}
    COMMENT "Payload items of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
