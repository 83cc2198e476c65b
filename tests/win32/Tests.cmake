# Windows tests: window-system code, the plug-in library and the host program, run under Wine
# (inside the Xvfb display that tools/with-wine.sh provides).
file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win32/*.cpp)
file(GLOB WIN32_TEST_RESOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win32/*.rc)
add_executable(brushmote-win32-tests ${WIN32_TEST_SOURCES} ${BRUSHMOTE_RESOURCES}
                                     ${WIN32_TEST_RESOURCES})
target_link_libraries(brushmote-win32-tests PRIVATE brushmote_win32 brushmote_picture_io
                                                    GTest::gtest_main)
target_compile_definitions(
  brushmote-win32-tests
  PRIVATE BRUSHMOTE_TEST_SOURCE_DIR="${BRUSHMOTE_TEST_SOURCE_DIR}"
          BRUSHMOTE_DLL_PATH="$<TARGET_FILE_NAME:brushmote>"
          BRUSHMOTE_HOST_PATH="$<TARGET_FILE_NAME:brushmote-host>")
# The tests load the plug-in and start the host from their own folder.
set_target_properties(brushmote-win32-tests brushmote brushmote-host
                      PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_dependencies(brushmote-win32-tests brushmote brushmote-host)
gtest_discover_tests(brushmote-win32-tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     PROPERTIES TIMEOUT 120)

# The library exports exactly the four entry names.
add_test(NAME PluginExports
         COMMAND ${CMAKE_COMMAND} -DDLL=$<TARGET_FILE:brushmote> -P
                 ${CMAKE_CURRENT_SOURCE_DIR}/win32/CheckExports.cmake)
