# Checks one translation catalog against the Studio's sources: msgfmt accepts it, it has no
# fuzzy or untranslated entry, and every N_() text of studio/*.cpp and studio/wx/*.cpp
# (extracted afresh, so that a text added since the last po/update-catalog.sh is caught) has
# a translation in it. Run with -DSOURCE_DIR -DPO -DWORK_DIR -DMSGFMT -DXGETTEXT -DMSGCMP
# -DMSGATTRIB.
set(problems "")

execute_process(COMMAND "${MSGFMT}" --check --statistics -o /dev/null "${PO}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  string(APPEND problems "msgfmt --check refuses ${PO}:\n${out}\n")
endif()

foreach(kind untranslated only-fuzzy)
  execute_process(COMMAND "${MSGATTRIB}" --no-obsolete --${kind} "${PO}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    string(APPEND problems "msgattrib failed on ${PO}: ${err}\n")
  elseif(NOT out STREQUAL "")
    string(APPEND problems "${PO} has ${kind} entries (run po/update-catalog.sh):\n${out}\n")
  endif()
endforeach()

file(GLOB sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/studio/*.cpp"
     "${SOURCE_DIR}/studio/wx/*.cpp")
file(MAKE_DIRECTORY "${WORK_DIR}")
get_filename_component(lang "${PO}" NAME_WE)
set(pot "${WORK_DIR}/${lang}-sources.pot")
execute_process(COMMAND "${XGETTEXT}" --keyword=N_ --from-code=UTF-8 --language=C++
                        --msgid-bugs-address=none --output=${pot} ${sources}
                WORKING_DIRECTORY "${SOURCE_DIR}" RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "xgettext failed: ${err}")
endif()
# msgcmp counts fuzzy and empty translations as missing, and names each text's source line.
execute_process(COMMAND "${MSGCMP}" --no-fuzzy-matching "${PO}" "${pot}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  string(APPEND problems
         "texts of the sources without a translation in ${PO} (run po/update-catalog.sh and "
         "translate them):\n${out}\n")
endif()

if(NOT problems STREQUAL "")
  message(FATAL_ERROR "${problems}")
endif()
