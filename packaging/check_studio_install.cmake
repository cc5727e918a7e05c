# Installs the build into a scratch prefix and checks that quillon-studio's desktop files
# and catalogs land where desktops and wxWidgets look for them, that they name each other
# rightly, and that desktop-file-validate and appstreamcli accept them (where installed).
# Run with -DBUILD_DIR -DPREFIX -DAPP_ID [-DEXPECT_STUDIO=1] [-DLANGUAGES=es,...]
# [-DDESKTOP_FILE_VALIDATE=path] [-DAPPSTREAMCLI=path].
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(entry share/applications/quillon-studio.desktop)
set(metainfo share/metainfo/${APP_ID}.metainfo.xml)
set(expected ${entry} ${metainfo} share/icons/hicolor/scalable/apps/quillon-studio.svg)
if(EXPECT_STUDIO)
  list(APPEND expected bin/quillon-studio)
endif()
string(REPLACE "," ";" languages "${LANGUAGES}")
foreach(lang IN LISTS languages)
  list(APPEND expected share/locale/${lang}/LC_MESSAGES/quillon-studio.mo)
endforeach()
foreach(path IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

# The entry starts the installed program with the opened file and names the installed icon;
# the metainfo launches the installed entry.
file(STRINGS "${PREFIX}/${entry}" lines)
foreach(line "Name=Quillon Studio" "Exec=quillon-studio %f" "TryExec=quillon-studio"
        "Icon=quillon-studio" "MimeType=image/bmp;image/png;image/jpeg;")
  list(FIND lines "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks the line ${line}")
  endif()
endforeach()
file(READ "${PREFIX}/${metainfo}" xml)
foreach(tag "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">quillon-studio.desktop</launchable>"
        "<binary>quillon-studio</binary>")
  string(FIND "${xml}" "${tag}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the metainfo lacks ${tag}")
  endif()
endforeach()

if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${PREFIX}/${entry}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate refuses the entry:\n${out}")
  endif()
else()
  message(STATUS "desktop-file-validate not found: the entry was not validated")
endif()
if(APPSTREAMCLI)
  execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net "${PREFIX}/${metainfo}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate refuses the metainfo:\n${out}")
  endif()
else()
  message(STATUS "appstreamcli not found: the metainfo was not validated")
endif()
file(REMOVE_RECURSE "${PREFIX}")
