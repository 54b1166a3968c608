# The program's option table, made from the one list of options in completion/options: an
# enumeration of the options and the words of each value list (driver/option_names.h), and a row
# of {name, letter, long name, argument, value kind, words, help text} for each option
# (driver/option_rows.inc), in the order --help shows them.
# A help text may hold ";", which a CMake list would split at: it stands in as a NUL-free mark.
file(READ ${PROJECT_SOURCE_DIR}/completion/options option_table_text)
string(REPLACE ";" "<semicolon>" option_table_text "${option_table_text}")
string(REPLACE "\n" ";" option_table_lines "${option_table_text}")
list(FILTER option_table_lines EXCLUDE REGEX "^(#|$)")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/completion/options)

# count-first-day as countFirstDay: the option's name in the enumeration.
function(rondelo_camel_case text result)
  string(REPLACE "-" ";" parts "${text}")
  set(camel "")
  foreach(part IN LISTS parts)
    if(NOT camel STREQUAL "")
      string(SUBSTRING "${part}" 0 1 first)
      string(SUBSTRING "${part}" 1 -1 rest)
      string(TOUPPER "${first}" first)
      set(part "${first}${rest}")
    endif()
    string(APPEND camel "${part}")
  endforeach()
  set(${result} "${camel}" PARENT_SCOPE)
endfunction()

# The kind of an option's value and its words: a|b|c is one of the words, a,b,c a list of them,
# @files and @dirs a path; any other VALUES (a word offered first, free text) is text.
function(rondelo_option_values values camel kind words)
  set(list "")
  if(values MATCHES "\\|")
    set(${kind} "valueKind::oneWord" PARENT_SCOPE)
    string(REPLACE "|" ";" list "${values}")
  elseif(values MATCHES ",")
    set(${kind} "valueKind::wordList" PARENT_SCOPE)
    string(REPLACE "," ";" list "${values}")
  elseif(values STREQUAL "@files" OR values STREQUAL "@dirs")
    set(${kind} "valueKind::path" PARENT_SCOPE)
  else()
    set(${kind} "valueKind::text" PARENT_SCOPE)
  endif()
  set(${words} "" PARENT_SCOPE)
  if(list)
    list(JOIN list "\", \"" quoted)
    string(APPEND option_word_lists "inline constexpr const char* ${camel}Words[] = {\"${quoted}\"};\n")
    set(option_word_lists "${option_word_lists}" PARENT_SCOPE)
    set(${words} "${camel}Words, std::size(${camel}Words)" PARENT_SCOPE)
  endif()
endfunction()

set(option_rows "")
set(option_row "")
set(option_names "")
set(option_word_lists "")
set(option_count 0)
foreach(line IN LISTS option_table_lines)
  if(line MATCHES "^> (.*)$")
    string(REPLACE "\\" "\\\\" help "${CMAKE_MATCH_1}")
    string(REPLACE "\"" "\\\"" help "${help}")
    if(option_row MATCHES "\"$")
      string(APPEND option_row "\n    \"\\n${help}\"")
    else()
      string(APPEND option_row " \"${help}\"")
    endif()
    continue()
  endif()
  if(NOT line MATCHES "^([^ ]+) +([^ ]+) +([^ ]+) +([^ ]+) +")
    message(FATAL_ERROR "completion/options: cannot read '${line}'")
  endif()
  if(option_row)
    string(APPEND option_rows "${option_row}},\n")
  endif()
  set(letter "'${CMAKE_MATCH_1}'")
  if(CMAKE_MATCH_1 STREQUAL "-")
    set(letter 0)
  endif()
  set(long ${CMAKE_MATCH_2})
  set(argument "\"${CMAKE_MATCH_3}\"")
  if(CMAKE_MATCH_3 STREQUAL "-")
    set(argument "\"\"")
  endif()
  rondelo_camel_case(${long} camel)
  rondelo_option_values("${CMAKE_MATCH_4}" ${camel} kind words)
  string(APPEND option_names "    ${camel},\n")
  math(EXPR option_count "${option_count} + 1")
  set(option_row "{optionName::${camel}, ${letter}, \"${long}\", ${argument}, ${kind}, {${words}},")
endforeach()
string(APPEND option_rows "${option_row}},\n")
set(rondelo_generated_dir ${PROJECT_BINARY_DIR}/generated)
string(REPLACE "<semicolon>" ";" option_rows "${option_rows}")
file(CONFIGURE OUTPUT ${rondelo_generated_dir}/driver/option_rows.inc CONTENT "${option_rows}" @ONLY)
file(CONFIGURE OUTPUT ${rondelo_generated_dir}/driver/option_names.h CONTENT
"// Made by cmake/options.cmake from completion/options: every option by name, and the words of
// each option whose value is one word of a list, or a list of them, in that file's order.
#pragma once

#include <cstddef>

namespace rondelo {

enum class optionName {
${option_names}};
inline constexpr std::size_t optionCount = ${option_count};

${option_word_lists}
}  // namespace rondelo
" @ONLY)
