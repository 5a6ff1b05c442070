# vymera_skin(target SOURCE_DIR dir FILES names... (FOLDER out_dir | ARCHIVE out.zip))
#
# Turns a skin folder into what a program reads: every FILES entry (a path below SOURCE_DIR) lands
# flat under its own file name, an ".svg" rendered to the ".png" of the same stem, anything else
# (XML, photos as JPEG or PNG) copied as it is. FOLDER writes them into out_dir beside the programs;
# ARCHIVE packs them into one flat ZIP file instead. The custom target `target` builds it.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)

function(vymera_skin target)
  cmake_parse_arguments(S "" "SOURCE_DIR;FOLDER;ARCHIVE" "FILES" ${ARGN})
  if(NOT S_SOURCE_DIR OR NOT S_FILES OR (NOT S_FOLDER AND NOT S_ARCHIVE) OR (S_FOLDER AND S_ARCHIVE))
    message(FATAL_ERROR "vymera_skin(${target}): give SOURCE_DIR, FILES and one of FOLDER or ARCHIVE")
  endif()
  if(S_FOLDER)
    set(out_dir ${S_FOLDER})
  else()
    set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}.staged)
  endif()

  set(outputs)
  set(names)
  foreach(file ${S_FILES})
    set(source ${S_SOURCE_DIR}/${file})
    get_filename_component(stem ${file} NAME_WE)
    get_filename_component(ext ${file} LAST_EXT)
    get_filename_component(name ${file} NAME)
    if(ext STREQUAL ".svg")
      set(name ${stem}.png)
      set(command ${RSVG_CONVERT} -o ${out_dir}/${name} ${source})
    else()
      set(command ${CMAKE_COMMAND} -E copy ${source} ${out_dir}/${name})
    endif()
    if(name IN_LIST names)
      message(FATAL_ERROR "vymera_skin(${target}): two files land as ${name}")
    endif()
    list(APPEND names ${name})
    add_custom_command(OUTPUT ${out_dir}/${name}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
      COMMAND ${command}
      DEPENDS ${source} VERBATIM)
    list(APPEND outputs ${out_dir}/${name})
  endforeach()

  if(S_ARCHIVE)
    # The archive is made afresh from the staged names only, so nothing stale is packed.
    add_custom_command(OUTPUT ${S_ARCHIVE}
      COMMAND ${CMAKE_COMMAND} -E rm -f ${S_ARCHIVE}
      COMMAND ${CMAKE_COMMAND} -E tar cf ${S_ARCHIVE} --format=zip -- ${names}
      WORKING_DIRECTORY ${out_dir}
      DEPENDS ${outputs} VERBATIM)
    set(outputs ${S_ARCHIVE})
  endif()
  add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()
