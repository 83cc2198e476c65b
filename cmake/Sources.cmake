# Source lists by folder convention, so that adding a file needs no edit of a build file:
# <layer>/*.cpp are portable, <layer>/win32/*.cpp need the window system, and
# <layer>/posix/*.cpp stand in for a few system services (files, the string table) in the
# native build.
function(brushmote_glob out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()


function(brushmote_glob_sub out sub)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/${sub}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()
