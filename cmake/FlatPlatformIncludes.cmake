# While src/platform/ is sorted into folders, headers keep answering to their old flat
# include paths ("platform/Fonts.h") through one-line forwarders written here. Removed
# once every include names the folder.
function(tesserine_flat_platform_includes target source_dir)
  set(out "${CMAKE_BINARY_DIR}/flat-platform-includes")
  file(GLOB_RECURSE moved RELATIVE "${source_dir}/platform" CONFIGURE_DEPENDS
       "${source_dir}/platform/*.h" "${source_dir}/platform/*.inc")
  foreach(rel IN LISTS moved)
    string(REGEX REPLACE "^(text|layout|system|recovery|forms|richedit|dialogs)/" "" old "${rel}")
    if(NOT old STREQUAL rel)
      file(CONFIGURE OUTPUT "${out}/platform/${old}" CONTENT "#include \"platform/${rel}\"\n")
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC "${out}")
endfunction()
