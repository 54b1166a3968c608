# Installation and the Debian package.
# The directories that installing makes are rwxr-xr-x whatever the umask, as the package's must be.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS rondelo rondelo-selftest RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The project's version is the one place it is written: the changelog's latest entry must agree.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog changelog_head LIMIT_COUNT 1)
string(REPLACE "." "\\." version_pattern "${PROJECT_VERSION}")
if(NOT changelog_head MATCHES "^rondelo \\(${version_pattern}\\) ")
  message(FATAL_ERROR "packaging/changelog begins '${changelog_head}', not version ${PROJECT_VERSION}")
endif()

# --version shows the date and time of that entry (its sign-off line), in UTC and in the layout
# of __DATE__ and __TIME__, so that the same source always gives the same program.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog changelog_signoffs REGEX "^ -- ")
list(GET changelog_signoffs 0 changelog_signoff)
string(REGEX REPLACE "^ -- .*>  " "" changelog_date "${changelog_signoff}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C TZ=UTC
    date -u -d "${changelog_date}" "+%b %e %Y, %H:%M:%S"
  OUTPUT_VARIABLE rondelo_released OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE date_status)
if(NOT date_status EQUAL 0)
  message(FATAL_ERROR "packaging/changelog: cannot read the date of '${changelog_signoff}'")
endif()
target_compile_definitions(rondelo_core PRIVATE RONDELO_RELEASED="${rondelo_released}")

# The manual pages name the program alone in their header, so that the source reads as it is
# (man ./man/rondelo.1); the built pages add the project's version there.
foreach(page rondelo.1 rondelo-selftest.1)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/${page})
  file(READ ${PROJECT_SOURCE_DIR}/man/${page} page_text)
  string(REGEX REPLACE "^(\\.TH [^ ]+ 1 [^ ]+) rondelo " "\\1 \"rondelo ${PROJECT_VERSION}\" "
    versioned_text "${page_text}")
  if(versioned_text STREQUAL page_text)
    message(FATAL_ERROR "man/${page}: the header does not read '.TH NAME 1 DATE rondelo ...'")
  endif()
  # Written through a copy that touches the page only when it changed.
  file(WRITE ${PROJECT_BINARY_DIR}/man/${page}.new "${versioned_text}")
  configure_file(${PROJECT_BINARY_DIR}/man/${page}.new ${PROJECT_BINARY_DIR}/man/${page} COPYONLY)
endforeach()

# Manual pages and the changelog are installed gzipped; -n leaves out the name and time stamp,
# so the same sources always give the same bytes.
find_program(GZIP gzip REQUIRED)
set(rondelo_gzipped "")
function(rondelo_gzip source name)
  set(output ${PROJECT_BINARY_DIR}/gzipped/${name})
  add_custom_command(OUTPUT ${output}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}
    COMMAND ${GZIP} -9nf ${output}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
  set(rondelo_gzipped ${rondelo_gzipped} ${output}.gz PARENT_SCOPE)
endfunction()
rondelo_gzip(${PROJECT_BINARY_DIR}/man/rondelo.1 rondelo.1)
rondelo_gzip(${PROJECT_BINARY_DIR}/man/rondelo-selftest.1 rondelo-selftest.1)
rondelo_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog changelog)
add_custom_target(rondelo_gzipped ALL DEPENDS ${rondelo_gzipped})

install(FILES ${PROJECT_BINARY_DIR}/gzipped/rondelo.1.gz ${PROJECT_BINARY_DIR}/gzipped/rondelo-selftest.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# A native package's changelog is changelog.gz; copyright stays plain text, in Debian's
# machine-readable format, with the licence of LICENSE.
install(FILES packaging/copyright ${PROJECT_BINARY_DIR}/gzipped/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Each shell's completion where that shell looks for it under the prefix given at install time
# (cmake --install --prefix may differ from the configured one). bash-completion reads
# share/bash-completion/completions of every prefix in XDG_DATA_DIRS (/usr/local/share and
# /usr/share when unset). Debian's zsh reads share/zsh/vendor-completions of /usr, and
# share/zsh/site-functions elsewhere, zsh's own place for a prefix (/usr/local/share/zsh/site-functions
# is in Debian's fpath). fish reads share/fish/vendor_completions.d of its own prefix and of each
# prefix in XDG_DATA_DIRS.
install(FILES ${rondelo_completion_dir}/rondelo
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(CODE "
  set(rondelo_zsh_dir site-functions)
  if(CMAKE_INSTALL_PREFIX STREQUAL /usr)
    set(rondelo_zsh_dir vendor-completions)
  endif()
  file(INSTALL ${rondelo_completion_dir}/_rondelo
    DESTINATION \${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/zsh/\${rondelo_zsh_dir})")
install(FILES ${rondelo_completion_dir}/rondelo.fish
  DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rondelo)
set(CPACK_PACKAGE_CONTACT "the rondelo authors <rondelo@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "list the round-number anniversaries of a date")
# Each line becomes a line of the control file after one blank: keep them under 80 columns.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "rondelo lists the instants 100 months, 1K weeks, 10K days, 1M hours,
100M minutes or 1G seconds (and their siblings) after a date, so that you
can see when your 10000th day or your billionth second falls. It writes
CSV, iCalendar, JSON Lines or aligned text, reads its dates from the
command line, from a file of dates or from vCard address books, and keeps
a calendar directory in sync for calendar programs. rondelo-selftest shows
what the machine gives its timestamp arithmetic.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Boost.Date_Time is compiled in from its headers and the Release build carries the C++ runtime,
# so dpkg-shlibdeps finds only the C library. tzdata holds the zone files that the program
# reads at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS tzdata)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
