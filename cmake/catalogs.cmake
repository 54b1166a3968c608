# The catalogs of the person's language: po/LANG.po of each language of po/LINGUAS, compiled
# with msgfmt --check and installed as share/locale/LANG/LC_MESSAGES/rondelo.mo.
find_program(MSGFMT msgfmt REQUIRED)
file(STRINGS ${PROJECT_SOURCE_DIR}/po/LINGUAS rondelo_languages REGEX "^[a-z]")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/po/LINGUAS)
set(rondelo_catalogs "")
foreach(language IN LISTS rondelo_languages)
  set(catalog ${PROJECT_BINARY_DIR}/locale/${language}/LC_MESSAGES/rondelo.mo)
  add_custom_command(OUTPUT ${catalog}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/locale/${language}/LC_MESSAGES
    COMMAND ${MSGFMT} --check -o ${catalog} ${PROJECT_SOURCE_DIR}/po/${language}.po
    DEPENDS ${PROJECT_SOURCE_DIR}/po/${language}.po
    COMMENT "Compiling the ${language} catalog"
    VERBATIM)
  list(APPEND rondelo_catalogs ${catalog})
  install(FILES ${catalog} DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${language}/LC_MESSAGES)
endforeach()
add_custom_target(rondelo_catalogs ALL DEPENDS ${rondelo_catalogs})

# The texts to translate, as xgettext finds them in the sources: `cmake --build build --target
# rondelo-pot` writes po/rondelo.pot; the tests check that every catalog has them all.
set(rondelo_xgettext_options --language=C++ --from-code=UTF-8 --keyword=_ --keyword=P_:1c,2
  --keyword=NN_:1,2 --keyword=PN_:1c,2 --add-comments=TRANSLATORS: --add-location=file
  --sort-by-file "--copyright-holder=the rondelo authors" --package-name=rondelo --package-version=${PROJECT_VERSION} --msgid-bugs-address=)
get_target_property(rondelo_sources rondelo_core SOURCES)
find_program(XGETTEXT xgettext)
if(XGETTEXT)
  add_custom_target(rondelo-pot
    COMMAND ${XGETTEXT} ${rondelo_xgettext_options} -o po/rondelo.pot ${rondelo_sources}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    VERBATIM)
endif()
