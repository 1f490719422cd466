# cmake -DBUILD_DIR=... -DSTAGE=... -DVERSION=... -P CheckInstall.cmake
# Fails with a message naming what is wrong; the validators run when they are installed.
cmake_minimum_required(VERSION 3.25)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command} failed (${rc}):\n${out}${err}")
  endif()
  set(run_out "${out}" PARENT_SCOPE)
  set(run_err "${err}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${STAGE})
set(ENV{DESTDIR} ${STAGE})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr)
set(root ${STAGE}/usr)

set(id org.morvane.Morvane)
set(expected
  bin/morvane
  bin/morvane-engine
  bin/morvane-record
  share/applications/${id}.desktop
  share/doc/morvane/LICENSE
  share/doc/morvane/copyright
  share/icons/hicolor/scalable/apps/${id}.svg
  share/man/man1/morvane-engine.1.gz
  share/man/man1/morvane-record.1.gz
  share/man/man6/morvane.6.gz
  share/metainfo/${id}.metainfo.xml
  share/mime/packages/${id}.xml)
foreach(size 16 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${id}.png)
endforeach()
list(SORT expected)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/*)
list(TRANSFORM expected PREPEND usr/)
list(SORT installed)
if(NOT installed STREQUAL expected)
  list(JOIN expected "\n  " want)
  list(JOIN installed "\n  " got)
  message(FATAL_ERROR "installed files differ\nexpected:\n  ${want}\ninstalled:\n  ${got}")
endif()

# Every program, the metainfo and the man pages carry the project's version; the window
# answers without a display.
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
unset(ENV{QT_QPA_PLATFORM})
foreach(program morvane morvane-engine morvane-record)
  run(${root}/bin/${program} --version)
  if(NOT run_out STREQUAL "${program} ${VERSION}\n")
    message(FATAL_ERROR "${program} --version printed '${run_out}'")
  endif()
endforeach()
file(READ ${root}/share/metainfo/${id}.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<release version=\"${VERSION}\"")
  message(FATAL_ERROR "the metainfo's release is not version ${VERSION}")
endif()
foreach(page man1/morvane-engine.1.gz man1/morvane-record.1.gz man6/morvane.6.gz)
  run(gzip -dc ${root}/share/man/${page})
  if(NOT run_out MATCHES "^\\.TH [^\n]* \"Morvane ${VERSION}\"")
    message(FATAL_ERROR "${page} is not of version ${VERSION}")
  endif()
endforeach()

# The copyright file is machine-readable (DEP-5): every Files paragraph names a licence, and each
# licence named has its text in a paragraph of its own.
file(READ ${root}/share/doc/morvane/copyright copyright)
if(NOT copyright MATCHES "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n")
  message(FATAL_ERROR "the copyright file does not start with the DEP-5 Format line")
endif()
string(REPLACE ";" "," copyright "${copyright}")
string(REPLACE "\n\n" ";" paragraphs "${copyright}")
set(named)
set(given)
foreach(paragraph IN LISTS paragraphs)
  if(paragraph MATCHES "^License: ([^\n]+)")
    list(APPEND given "${CMAKE_MATCH_1}")
  elseif(paragraph MATCHES "^Files: ")
    if(NOT paragraph MATCHES "\nLicense: ([^\n]+)")
      message(FATAL_ERROR "a Files paragraph of the copyright file names no licence:\n${paragraph}")
    endif()
    list(APPEND named "${CMAKE_MATCH_1}")
  endif()
endforeach()
if(named STREQUAL "")
  message(FATAL_ERROR "the copyright file has no Files paragraph")
endif()
foreach(license IN LISTS named)
  if(NOT license IN_LIST given)
    message(FATAL_ERROR "the copyright file names ${license} without its text")
  endif()
endforeach()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  run(${DESKTOP_FILE_VALIDATE} ${root}/share/applications/${id}.desktop)
  if(NOT run_out STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate:\n${run_out}")
  endif()
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  # The tree check also matches the metainfo against the desktop entry and the icons.
  run(${APPSTREAMCLI} validate-tree --no-net ${STAGE})
endif()
find_program(UPDATE_MIME_DATABASE update-mime-database)
if(UPDATE_MIME_DATABASE)
  run(${UPDATE_MIME_DATABASE} ${root}/share/mime)
  file(READ ${root}/share/mime/globs2 globs)
  if(NOT globs MATCHES "application/x-morvane-record:\\*\\.mvr")
    message(FATAL_ERROR "the mime database has no *.mvr glob:\n${globs}")
  endif()
endif()
find_program(MAN man)
if(MAN)
  foreach(page man1/morvane-engine.1.gz man1/morvane-record.1.gz man6/morvane.6.gz)
    run(${MAN} --warnings -E UTF-8 -l ${root}/share/man/${page})
    if(NOT run_err STREQUAL "")
      message(FATAL_ERROR "${page}: ${run_err}")
    endif()
  endforeach()
endif()
