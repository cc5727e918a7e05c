# Checks one translation catalog against the Studio's sources: msgfmt accepts it, and every
# N_() text of studio/*.cpp and studio/wx/*.cpp (extracted afresh, so that a text added since
# the last po/update-catalog.sh is caught) has a translation in it that is neither empty nor
# fuzzy. Run with -DSOURCE_DIR -DPO -DWORK_DIR -DMSGFMT -DXGETTEXT -DMSGMERGE -DMSGATTRIB.
set(problems "")

execute_process(COMMAND "${MSGFMT}" --check --statistics -o /dev/null "${PO}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  string(APPEND problems "msgfmt --check refuses ${PO}:\n${out}\n")
endif()

file(GLOB sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/studio/*.cpp"
     "${SOURCE_DIR}/studio/wx/*.cpp")
file(MAKE_DIRECTORY "${WORK_DIR}")
get_filename_component(lang "${PO}" NAME_WE)
set(pot "${WORK_DIR}/${lang}-sources.pot")
set(merged "${WORK_DIR}/${lang}-merged.po")
execute_process(COMMAND "${XGETTEXT}" --keyword=N_ --from-code=UTF-8 --language=C++
                        --msgid-bugs-address=none --output=${pot} ${sources}
                WORKING_DIRECTORY "${SOURCE_DIR}" RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "xgettext failed: ${err}")
endif()
# The catalog's translations of exactly the sources' texts; no guessing from similar ones.
execute_process(COMMAND "${MSGMERGE}" --quiet --no-fuzzy-matching --no-wrap -o "${merged}"
                        "${PO}" "${pot}"
                RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "msgmerge failed: ${err}")
endif()

foreach(kind untranslated only-fuzzy)
  execute_process(COMMAND "${MSGATTRIB}" --no-obsolete --no-wrap --${kind} "${merged}"
                  OUTPUT_VARIABLE out)
  string(REGEX MATCHALL "(#:[^\n]*\n)*msgid \"[^\"\n][^\n]*" entries "${out}")
  if(entries)
    list(JOIN entries "\n" entries)
    string(APPEND problems "${kind} in ${PO} (run po/update-catalog.sh, then translate):\n"
                           "${entries}\n")
  endif()
endforeach()

if(NOT problems STREQUAL "")
  message(FATAL_ERROR "${problems}")
endif()
