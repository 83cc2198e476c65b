# The Windows build: window-system code, the plug-in library with its resources, and the host.
brushmote_glob_sub(WIN32_SOURCES win32 ${BRUSHMOTE_LAYERS})
add_library(brushmote_win32 STATIC ${WIN32_SOURCES})
target_link_libraries(brushmote_win32 PUBLIC brushmote_portable user32 gdi32 comctl32 comdlg32
                                             shell32 advapi32)
target_compile_definitions(brushmote_win32 PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)

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
