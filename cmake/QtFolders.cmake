# The layers at a glance: a source that uses Qt lives in a folder named qt/ (reader/core/qt,
# setup/qt, platform/qt, ...), and a source outside such a folder uses none, so that everything
# beside a qt/ folder is standard C++ and builds without Qt. Stops CMake when a source breaks
# the rule: one outside qt/ that includes a Qt header (#include <Q...>), or a .cpp inside qt/
# that includes none, itself or through its own header (the same name with .h, beside it).
# New and removed files make CMake run again; a changed #include is seen the next time it runs.
function(quarto_check_qt_folders)
  set(problems "")
  foreach(folder IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
      ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    foreach(source IN LISTS found)
      file(STRINGS ${PROJECT_SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
      if(source MATCHES "(^|/)qt/")
        if(source MATCHES "\\.cpp$" AND NOT lines)
          string(REGEX REPLACE "\\.cpp$" ".h" header ${source})
          if(EXISTS ${PROJECT_SOURCE_DIR}/${header})
            file(STRINGS ${PROJECT_SOURCE_DIR}/${header} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
          endif()
          if(NOT lines)
            list(APPEND problems "${source} is in a qt/ folder but includes no Qt header")
          endif()
        endif()
      elseif(lines)
        list(GET lines 0 first)
        string(STRIP "${first}" first)
        list(APPEND problems "${source} includes Qt (${first}): it belongs in a qt/ folder")
      endif()
    endforeach()
  endforeach()
  if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Sources that use Qt live in qt/ folders:\n  ${text}")
  endif()
endfunction()
