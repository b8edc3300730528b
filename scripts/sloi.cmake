# A file that includes a header of a folder its own folder's library does not link fails the
# build's check (cmake -DSRC=<src> -DWIDGETS=<QtWidgets dir> -P sloi.cmake). The folders and
# whom each uses are in sloi_spisok.cmake, which CMakeLists.txt links the libraries by as well.
# db and rtf, the layers below the screens, include no widget header either.
#
#   core      the main window's frame, dialogs and platform seams, shared widgets
#   db        connection, T-SQL layer, schema, journal, settings file   (no widgets)
#   rtf       RTF reader and writer                                    (no widgets)
#   editors   meeting, agenda, document and deputy editors
#   viewer    the deputy's agenda and document viewer
#   hall      the hall's screens: seat map, boards, registration, voting panel, anthem
#   protocol  the minutes
#   console   the operator's windows
#   app       the three programs' main()
include(${CMAKE_CURRENT_LIST_DIR}/sloi_spisok.cmake)

set(NARUSHENIYA "")
file(GLOB PAPKI RELATIVE ${SRC} ${SRC}/*)
foreach(papka ${PAPKI})
  if(NOT IS_DIRECTORY ${SRC}/${papka})
    continue()
  endif()
  if(NOT DEFINED MOZHET_${papka})
    list(APPEND NARUSHENIYA "src/${papka}: a folder with no line in scripts/sloi.cmake")
    continue()
  endif()
  file(GLOB_RECURSE FAILY ${SRC}/${papka}/*.h ${SRC}/${papka}/*.cpp)
  foreach(fail ${FAILY})
    file(STRINGS ${fail} STROKI REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    file(RELATIVE_PATH imya ${SRC} ${fail})
    foreach(s ${STROKI})
      if(s MATCHES "#[ \t]*include[ \t]*\"([a-z_]+)/")
        set(chya ${CMAKE_MATCH_1})
        list(FIND MOZHET_${papka} ${chya} i)
        if(i EQUAL -1)
          list(APPEND NARUSHENIYA "src/${imya}: ${papka} may not include ${chya}/ (${s})")
        endif()
      elseif((papka STREQUAL "db" OR papka STREQUAL "rtf") AND s MATCHES "#[ \t]*include[ \t]*<([A-Za-z]+)>")
        if(EXISTS ${WIDGETS}/${CMAKE_MATCH_1})
          list(APPEND NARUSHENIYA "src/${imya}: ${papka} uses no widgets (${s})")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(NARUSHENIYA)
  list(JOIN NARUSHENIYA "\n" tekst)
  message(FATAL_ERROR "Includes across the layers:\n${tekst}")
endif()
message(STATUS "Includes keep to the layers")
