# Each library sees its own folder and the libraries it links, nothing else: a file that
# includes a header of a layer it does not depend on fails to compile. A target's include
# path is a folder of its own in the build tree holding links to just the allowed source
# folders, so that "host/AudioEffect.h" resolves only where host/ is linked in.
#
#   tavola_include_folders(target PUBLIC|PRIVATE [BASE dir] FOLDERS folder...)
#
# Folders are relative to BASE (default: the project's source folder) and are included
# under the same relative names.
function(tavola_include_folders target scope)
  cmake_parse_arguments(PARSE_ARGV 2 layer "" "BASE" "FOLDERS")
  if(NOT layer_BASE)
    set(layer_BASE ${PROJECT_SOURCE_DIR})
  endif()
  string(MD5 key "${layer_BASE}")
  string(SUBSTRING ${key} 0 8 key)
  set(root ${PROJECT_BINARY_DIR}/layers/${target}-${key})
  foreach(folder IN LISTS layer_FOLDERS)
    set(link ${root}/${folder})
    get_filename_component(parent ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT EXISTS ${link})
      file(CREATE_LINK ${layer_BASE}/${folder} ${link} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# One library per folder: the folder's CMakeLists calls
#
#   tavola_layer(name SOURCES file... [LINKS library...])
#
# and the library sees its own folder (under its path from the project's root, so that
# "presets/format/ImageFormat.h" is spelt the same everywhere) and what it links.
function(tavola_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "SOURCES;LINKS")
  add_library(${name} STATIC ${layer_SOURCES})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  tavola_include_folders(${name} PUBLIC FOLDERS ${folder})
  if(layer_LINKS)
    target_link_libraries(${name} PUBLIC ${layer_LINKS})
  endif()
endfunction()
