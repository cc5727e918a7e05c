# quillon-studio's files beside the program: its translation catalogs (po/*.po compiled with
# msgfmt into <build>/locale/<lang>/LC_MESSAGES/quillon-studio.mo, the layout wxWidgets
# searches), its desktop entry, AppStream metainfo and icon, their install rules and the
# tests that keep them valid and complete.

set(QUILLON_STUDIO_DOMAIN quillon-studio)
set(QUILLON_STUDIO_APP_ID org.quillon.Studio)
set(QUILLON_STUDIO_LANGUAGES es)
set(QUILLON_LOCALE_DIR ${CMAKE_BINARY_DIR}/locale)

find_program(QUILLON_MSGFMT msgfmt)
find_program(QUILLON_XGETTEXT xgettext)
find_program(QUILLON_MSGMERGE msgmerge)
find_program(QUILLON_MSGATTRIB msgattrib)
find_program(QUILLON_DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(QUILLON_APPSTREAMCLI appstreamcli)

if(QUILLON_MSGFMT)
  set(catalogs)
  foreach(lang IN LISTS QUILLON_STUDIO_LANGUAGES)
    set(po ${CMAKE_SOURCE_DIR}/po/${lang}.po)
    set(mo ${QUILLON_LOCALE_DIR}/${lang}/LC_MESSAGES/${QUILLON_STUDIO_DOMAIN}.mo)
    add_custom_command(OUTPUT ${mo}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLON_LOCALE_DIR}/${lang}/LC_MESSAGES
      COMMAND ${QUILLON_MSGFMT} --check -o ${mo} ${po}
      DEPENDS ${po}
      COMMENT "Compiling the ${lang} catalog of quillon-studio")
    list(APPEND catalogs ${mo})
    install(FILES ${mo} DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${lang}/LC_MESSAGES)
  endforeach()
  add_custom_target(quillon_studio_catalogs ALL DEPENDS ${catalogs})
  # The catalog tests read the compiled Spanish catalog.
  if(TARGET quillon_studio_tests)
    add_dependencies(quillon_studio_tests quillon_studio_catalogs)
    target_compile_definitions(quillon_studio_tests PRIVATE
      QUILLON_STUDIO_ES_MO="${QUILLON_LOCALE_DIR}/es/LC_MESSAGES/${QUILLON_STUDIO_DOMAIN}.mo")
  endif()
  if(TARGET quillon-studio)
    add_dependencies(quillon-studio quillon_studio_catalogs)
  endif()
else()
  message(STATUS "gettext (msgfmt) not found: quillon-studio is built without its Spanish "
                 "catalog (install gettext to build it)")
endif()

if(TARGET quillon-studio)
  install(TARGETS quillon-studio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# TryExec hides the entry wherever quillon-studio is not installed.
install(FILES packaging/quillon-studio.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${QUILLON_STUDIO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/quillon-studio.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Every text of the sources has a Spanish translation, and the catalog is valid: no fuzzy or
# empty entry, no broken line.
if(QUILLON_MSGFMT AND QUILLON_XGETTEXT AND QUILLON_MSGMERGE AND QUILLON_MSGATTRIB)
  foreach(lang IN LISTS QUILLON_STUDIO_LANGUAGES)
    add_test(NAME studio_catalog_${lang}
      COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DPO=${CMAKE_SOURCE_DIR}/po/${lang}.po
              -DWORK_DIR=${CMAKE_BINARY_DIR}/po-check -DMSGFMT=${QUILLON_MSGFMT}
              -DXGETTEXT=${QUILLON_XGETTEXT} -DMSGMERGE=${QUILLON_MSGMERGE}
              -DMSGATTRIB=${QUILLON_MSGATTRIB} -P ${CMAKE_SOURCE_DIR}/po/check_catalog.cmake)
  endforeach()
endif()

# What `cmake --install` puts in place for the Studio, validated where the tools exist.
set(installed_languages)
if(QUILLON_MSGFMT)
  string(REPLACE ";" "," installed_languages "${QUILLON_STUDIO_LANGUAGES}")
endif()
add_test(NAME studio_install_layout
  COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
          -DPREFIX=${CMAKE_BINARY_DIR}/studio-install-check -DAPP_ID=${QUILLON_STUDIO_APP_ID}
          -DEXPECT_STUDIO=$<TARGET_EXISTS:quillon-studio>
          -DLANGUAGES=${installed_languages}
          -DDESKTOP_FILE_VALIDATE=${QUILLON_DESKTOP_FILE_VALIDATE}
          -DAPPSTREAMCLI=${QUILLON_APPSTREAMCLI}
          -P ${CMAKE_SOURCE_DIR}/packaging/check_studio_install.cmake)
