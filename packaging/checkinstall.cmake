# cmake -DBUILD=... -DPREFIX=... -DID=... -P checkinstall.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

foreach(f bin/tessarine bin/tessarine-doc
          share/applications/${ID}.desktop
          share/icons/hicolor/scalable/apps/${ID}.svg
          share/metainfo/${ID}.metainfo.xml)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

# The validators are installed by the Makefile's package list; a missing one
# is a failure, not a skip.
foreach(check
    "desktop-file-validate;${PREFIX}/share/applications/${ID}.desktop"
    "appstreamcli;validate;--no-net;--pedantic;${PREFIX}/share/metainfo/${ID}.metainfo.xml")
  execute_process(COMMAND ${check} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${check}: ${rc}\n${out}${err}")
  endif()
  message(STATUS "${check}: ok ${out}")
endforeach()

# The icon is a scalable picture of its own, and the desktop entry names
# it, the program and the document types.
file(READ ${PREFIX}/share/icons/hicolor/scalable/apps/${ID}.svg icon)
if(NOT icon MATCHES "<svg")
  message(FATAL_ERROR "the icon is not an SVG picture")
endif()
file(READ ${PREFIX}/share/applications/${ID}.desktop entry)
foreach(line "Icon=${ID}" "Exec=tessarine %f" "MimeType=text/plain;text/rtf;application/rtf;" "Name[ja]=" "Comment[ja]=")
  string(FIND "${entry}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the desktop entry lacks ${line}")
  endif()
endforeach()
