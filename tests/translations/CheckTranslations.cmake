# Every translations/tarnwick_*.ts is complete: brought up to date with the
# texts in src/ (on a copy, as tools/update-translations.sh would), lrelease
# must find no unfinished and no untranslated entry in it.
#   cmake -DLUPDATE=... -DLRELEASE=... -DSOURCE_DIR=... -DWORK_DIR=... -P CheckTranslations.cmake
file(GLOB ts_files ${SOURCE_DIR}/translations/tarnwick_*.ts)
if(NOT ts_files)
  message(FATAL_ERROR "no translations/tarnwick_*.ts found")
endif()
file(MAKE_DIRECTORY ${WORK_DIR})
set(failures "")
foreach(ts ${ts_files})
  get_filename_component(name ${ts} NAME_WE)
  set(copy ${WORK_DIR}/${name}.ts)
  file(COPY_FILE ${ts} ${copy})
  execute_process(COMMAND ${LUPDATE} -silent -locations none -no-obsolete ${SOURCE_DIR}/src -ts ${copy}
                  RESULT_VARIABLE updated OUTPUT_VARIABLE update_out ERROR_VARIABLE update_out)
  if(NOT updated EQUAL 0)
    message(FATAL_ERROR "lupdate failed on ${name}: ${update_out}")
  endif()
  execute_process(COMMAND ${LRELEASE} ${copy} -qm ${WORK_DIR}/${name}.qm
                  RESULT_VARIABLE released OUTPUT_VARIABLE out ERROR_VARIABLE out)
  message(STATUS "${name}: ${out}")
  if(NOT released EQUAL 0)
    list(APPEND failures "${name}: lrelease failed")
  elseif(NOT out MATCHES "\\(([0-9]+) finished and 0 unfinished\\)")
    list(APPEND failures "${name}: unfinished entries (run tools/update-translations.sh and translate them)")
  elseif(out MATCHES "untranslated")
    list(APPEND failures "${name}: untranslated texts (run tools/update-translations.sh and translate them)")
  endif()
endforeach()
if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
