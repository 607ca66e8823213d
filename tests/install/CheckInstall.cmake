# Installs the build in BUILD_DIR into PREFIX and checks where the files went.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(expected
  bin/tarnwick
  bin/tarnwick-cli
  share/doc/tarnwick/Brevlin.html
  share/doc/tarnwick/Brevlin_de.html
  share/doc/tarnwick/Brevlin_zh_CN.html
  share/doc/tarnwick/Brevlin.css
  share/doc/tarnwick/copyright
  share/applications/tarnwick.desktop
  share/metainfo/org.example.tarnwick.metainfo.xml
  share/man/man1/tarnwick.1.gz
  share/man/man1/tarnwick-cli.1.gz)
foreach(size 16 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/tarnwick.png)
endforeach()
foreach(path ${expected})
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
if(EXISTS "${PREFIX}/bin/Brevlin.html")
  message(FATAL_ERROR "the manual is installed beside the programs")
endif()
# The icons are drawn at the size their folder names.
foreach(size 16 256)
  file(READ "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/tarnwick.png" header
       OFFSET 16 LIMIT 8 HEX)
  math(EXPR expected_hex "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${expected_hex}" 2 -1 digits)
  string(LENGTH "${digits}" n)
  while(n LESS 8)
    string(PREPEND digits 0)
    math(EXPR n "${n} + 1")
  endwhile()
  if(NOT header STREQUAL "${digits}${digits}")
    message(FATAL_ERROR "${size}px icon has header ${header}")
  endif()
endforeach()
