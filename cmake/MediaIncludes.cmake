# The pages see the engine only through the jobs and the player, plus the
# few engine headers their library lists with the reason. The libraries
# they link decide what can be found at all; this check makes the list
# exact: building `target` fails while one of its sources includes a
# "media/..." header not named here.
function(tarnwick_allow_media_headers target)
  get_target_property(sources ${target} SOURCES)
  get_target_property(folder ${target} SOURCE_DIR)
  set(paths "")
  foreach(source IN LISTS sources)
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${folder})
    list(APPEND paths ${path})
  endforeach()
  string(REPLACE ";" "|" source_arg "${paths}")
  string(REPLACE ";" "|" allowed_arg "${ARGN}")
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.media-includes)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DTARGET=${target} "-DSOURCES=${source_arg}" "-DALLOWED=${allowed_arg}"
            -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/CheckMediaIncludes.cmake
    DEPENDS ${paths} ${PROJECT_SOURCE_DIR}/cmake/CheckMediaIncludes.cmake
    COMMENT "Checking the engine headers ${target} includes"
    VERBATIM)
  add_custom_target(${target}_media_includes DEPENDS ${stamp})
  add_dependencies(${target} ${target}_media_includes)
endfunction()

# What the jobs and the player speak: media time, its text, MP3 settings.
set(TARNWICK_MEDIA_VOCABULARY
  media/graph/MediaTime.h media/graph/TimeText.h media/filters/Mp3Settings.h)
