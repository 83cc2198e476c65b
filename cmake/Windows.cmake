# The Windows build: window-system code, the plug-in library with its resources, and the host.
# Window-system code is part of brushmote_portable in this build; this name is for the
# programs that need it.
add_library(brushmote_win32 INTERFACE)
target_link_libraries(brushmote_win32 INTERFACE brushmote_portable)

# The resources, also linked into test programs that use string-table entries or templates.
set(BRUSHMOTE_RESOURCES ${CMAKE_SOURCE_DIR}/resources/brushmote.rc)
set_property(SOURCE ${BRUSHMOTE_RESOURCES} APPEND PROPERTY OBJECT_DEPENDS
             ${CMAKE_SOURCE_DIR}/resources/strings.inc)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${CMAKE_SOURCE_DIR}/resources")

brushmote_glob(DLL_SOURCES plugin/dll)
add_library(brushmote SHARED ${DLL_SOURCES} ${BRUSHMOTE_RESOURCES}
                             ${CMAKE_SOURCE_DIR}/plugin/dll/brushmote.def)
set_target_properties(brushmote PROPERTIES PREFIX "" OUTPUT_NAME brushmote)
target_link_libraries(brushmote PRIVATE brushmote_win32)

brushmote_glob(HOST_SOURCES host)
add_executable(brushmote-host ${HOST_SOURCES})
target_link_libraries(brushmote-host PRIVATE brushmote_picture_io)
