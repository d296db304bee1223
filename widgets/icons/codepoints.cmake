# kolm_generate_codepoints(SCSS OUT): writes the icon font's glyph list, one
# "name code" line per glyph, from the name-to-code map of the font package's
# scss variables file. Runs when CMake configures and again whenever the scss
# file changes.
function(kolm_generate_codepoints scss out)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${scss}")
  file(STRINGS "${scss}" entries REGEX "^[ \t]*\"[^\"]*\"[ \t]*:")
  set(text "")
  set(count 0)
  foreach(entry IN LISTS entries)
    if(NOT entry MATCHES "^[ \t]*\"([a-z0-9_]+)\"[ \t]*:[ \t]*([0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F])[ \t]*,?[ \t]*$")
      message(FATAL_ERROR "Unexpected icon map entry in ${scss}: ${entry}")
    endif()
    string(TOLOWER "${CMAKE_MATCH_2}" code)
    string(APPEND text "${CMAKE_MATCH_1} ${code}\n")
    math(EXPR count "${count} + 1")
  endforeach()
  if(count EQUAL 0)
    message(FATAL_ERROR "No icon names found in ${scss}")
  endif()
  file(CONFIGURE OUTPUT "${out}" CONTENT "${text}" @ONLY NEWLINE_STYLE LF)
endfunction()
