# A plug-in's shared object as a user copies it, for both bindings:
#
#   tavola_plugin_module(target EXPORTS map_file)
#
# exports only the symbols of the version script, carries its own C++ runtime (so the
# host's runtime version does not matter) and no debug information, which stays beside it
# in <file>.debug where gdb finds it through the debug link. Sanitizer builds keep the
# shared runtime, which the sanitizer runtimes expect.
function(tavola_plugin_module target)
  cmake_parse_arguments(PARSE_ARGV 1 module "" "EXPORTS" "")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${module_EXPORTS})
  target_link_options(${target} PRIVATE -Wl,--version-script=${module_EXPORTS} -Wl,--no-undefined)
  if(NOT TAVOLA_SANITIZE)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -Wl,--wrap=arc4random)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/effect/RandomSourceShim.cpp)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
      COMMAND ${CMAKE_OBJCOPY} --strip-debug --strip-unneeded
              --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
      WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
      COMMENT "Keeping the debug information of $<TARGET_FILE_NAME:${target}> apart"
      VERBATIM)
  endif()
endfunction()
