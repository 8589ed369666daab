# Writes a program's manual page from its --help, at build time, so that the
# page never disagrees with the program. Run as a script:
#
#   cmake -DPROGRAM=path -DNAME=markograph-cli -DSUMMARY="one line"
#         -DVERSION=3.1.1 [-DINTRO=intro.man] [-DEXTRA=sections.man]
#         -DOUTPUT=markograph-cli.1.gz -P help_to_man.cmake
#
# The help is the layout QCommandLineParser prints: a "Usage:" line, prose,
# and blocks such as "Options:" whose entries are "  TERM  text" with the text
# continued on lines indented further. A program whose help has a "Commands:"
# block gets each command's own --help as a section of the page as well.
# INTRO is roff text that opens the DESCRIPTION, before the help's own prose;
# EXTRA is roff text appended as it is (FILES, ENVIRONMENT, SEE ALSO ...).
cmake_minimum_required(VERSION 3.25)

foreach(required PROGRAM NAME SUMMARY VERSION OUTPUT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "help_to_man.cmake needs -D${required}=...")
  endif()
endforeach()

# Runs the program with the arguments and returns what it printed.
function(run_help out_var)
  execute_process(COMMAND ${PROGRAM} ${ARGN}
    OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGN} failed (${status}): ${errors}")
  endif()
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# Escapes roff's special characters, then hides the characters that CMake
# lists would act on, and splits the text into lines.
function(help_lines text out_var)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REPLACE ";" "@SEMI@" text "${text}")
  string(REPLACE "[" "@LB@" text "${text}")
  string(REPLACE "]" "@RB@" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(${out_var} "${lines}" PARENT_SCOPE)
endfunction()

# A line of running text: a leading '.' or "'" would make it a request.
function(text_line line out_var)
  if(line MATCHES "^[.']")
    set(line "\\&${line}")
  endif()
  set(${out_var} "${line}" PARENT_SCOPE)
endfunction()

# An entry's term in bold, its <ARGUMENT> parts in italics.
function(term_roff term out_var)
  string(REGEX REPLACE "<([^>]+)>" "\\\\fI\\1\\\\fB" term "${term}")
  set(${out_var} "\\fB${term}\\fR" PARENT_SCOPE)
endfunction()

# Turns help text into roff. Sets <prefix>_USAGE (the usage after "Usage: "),
# <prefix>_BODY (prose and blocks) and <prefix>_COMMANDS (the terms of a
# "Commands:" block). heading is the request for block titles: .SH on the
# page's own level, .PP plus a bold title inside a command's section.
function(help_to_roff text heading prefix)
  help_lines("${text}" lines)
  set(usage "")
  set(body "")
  set(commands "")
  set(block "")
  set(in_prose FALSE)
  foreach(line IN LISTS lines)
    if(line MATCHES "^Usage: (.*)$")
      set(usage "${CMAKE_MATCH_1}")
    elseif(line STREQUAL "")
      set(block "")
      set(in_prose FALSE)
    elseif(line MATCHES "^([A-Z][A-Za-z ]*):$")
      set(block "${CMAKE_MATCH_1}")
      set(in_prose FALSE)
      if(heading STREQUAL ".SH")
        string(TOUPPER "${block}" title)
        string(APPEND body ".SH ${title}\n")
      else()
        string(APPEND body ".PP\n\\fB${block}:\\fR\n")
      endif()
    elseif(NOT block STREQUAL "" AND line MATCHES "^  ([^ ].*)$")
      set(entry "${CMAKE_MATCH_1}")
      if(entry MATCHES "^([^ ]+( [^ ]+)*)  +(.*)$")
        set(term "${CMAKE_MATCH_1}")
        set(description "${CMAKE_MATCH_3}")
      else()
        set(term "${entry}")
        set(description "")
      endif()
      if(block STREQUAL "Commands")
        list(APPEND commands "${term}")
      endif()
      term_roff("${term}" term)
      string(APPEND body ".TP\n${term}\n")
      if(NOT description STREQUAL "")
        text_line("${description}" description)
        string(APPEND body "${description}\n")
      endif()
    elseif(NOT block STREQUAL "" AND line MATCHES "^   +([^ ].*)$")
      text_line("${CMAKE_MATCH_1}" continued)
      string(APPEND body "${continued}\n")
    else()
      if(NOT in_prose)
        string(APPEND body ".PP\n")
        set(in_prose TRUE)
      endif()
      string(STRIP "${line}" line)
      text_line("${line}" line)
      string(APPEND body "${line}\n")
    endif()
  endforeach()
  set(${prefix}_USAGE "${usage}" PARENT_SCOPE)
  set(${prefix}_BODY "${body}" PARENT_SCOPE)
  set(${prefix}_COMMANDS "${commands}" PARENT_SCOPE)
endfunction()

# Undoes the hiding of help_lines.
function(restore_text text out_var)
  string(REPLACE "@SEMI@" ";" text "${text}")
  string(REPLACE "@LB@" "[" text "${text}")
  string(REPLACE "@RB@" "]" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

string(REPLACE "-" "\\-" name_roff "${NAME}")
string(TOUPPER "${NAME}" title)
run_help(top --help)
help_to_roff("${top}" ".SH" TOP)

# The usage names the program as it was started; the page names it plainly.
# (string(REGEX REPLACE) would apply "^" again after each match.)
function(usage_arguments usage out_var)
  string(REGEX MATCH "^[^ ]+ +(.*)$" ignored "${usage}")
  set(${out_var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()
usage_arguments("${TOP_USAGE}" top_usage)
set(synopsis ".B ${name_roff}\n${top_usage}\n")
set(details "")
foreach(command IN LISTS TOP_COMMANDS)
  run_help(command_help ${command} --help)
  string(REGEX REPLACE "(^|\n)Usage: [^ \n]+" "\\1Usage: ${NAME} ${command}" command_help "${command_help}")
  help_to_roff("${command_help}" ".PP" COMMAND)
  usage_arguments("${COMMAND_USAGE}" command_usage)
  string(APPEND synopsis ".br\n.B ${name_roff}\n${command_usage}\n")
  string(APPEND details ".SS \"${name_roff} ${command}\"\n${COMMAND_BODY}")
endforeach()
if(NOT details STREQUAL "")
  set(details ".SH \"COMMAND OPTIONS\"\n${details}")
endif()

set(intro "")
if(DEFINED INTRO AND NOT INTRO STREQUAL "")
  file(READ "${INTRO}" intro)
endif()
set(extra "")
if(DEFINED EXTRA AND NOT EXTRA STREQUAL "")
  file(READ "${EXTRA}" extra)
endif()

set(page ".\\\" Generated from '${NAME} --help' at build time; do not edit.
.TH ${title} 1 \"\" \"Markograph ${VERSION}\" \"User Commands\"
.SH NAME
${name_roff} \\- ${SUMMARY}
.SH SYNOPSIS
${synopsis}.SH DESCRIPTION
${intro}${TOP_BODY}${details}${extra}")
restore_text("${page}" page)

get_filename_component(output_dir "${OUTPUT}" DIRECTORY)
string(REGEX REPLACE "\\.gz$" "" plain "${OUTPUT}")
file(WRITE "${plain}" "${page}")
file(ARCHIVE_CREATE OUTPUT "${OUTPUT}" PATHS "${plain}" FORMAT raw COMPRESSION GZip COMPRESSION_LEVEL 9)
