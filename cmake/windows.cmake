# The mingw-w64 builds: the shipped program and the Wine test run.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${CMAKE_SOURCE_DIR}/src/resources")
set(CMAKE_CXX_FLAGS "${CMAKE_CXX_FLAGS} -Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type")
# No runtime DLL may travel with the program: link the C++ runtime and pthreads in.
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
add_compile_definitions(WINVER=0x0502 _WIN32_WINNT=0x0502 _WIN32_IE=0x0600 STRICT)

set(KVX_SYSTEM_LIBS ole32 oleaut32 uuid shell32 user32 gdi32 advapi32 comctl32 kernel32)

add_library(kvx_core STATIC ${KVX_PLAIN_SOURCES} ${KVX_WIN_SOURCES})
target_include_directories(kvx_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kvx_core PUBLIC ${KVX_SYSTEM_LIBS})

set(KVX_RC_SOURCES)
if(EXISTS ${KVX_RC})
  set(KVX_RC_SOURCES ${KVX_RC})
endif()
add_executable(uninstall WIN32 ${KVX_ENTRY_SOURCE} ${KVX_RC_SOURCES})
target_link_libraries(uninstall PRIVATE kvx_core)
set_target_properties(uninstall PROPERTIES OUTPUT_NAME uninstall)

if(KVX_CONFIG STREQUAL "product")
  target_link_options(uninstall PRIVATE -s)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME product_checks
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/resources/check_product.py
                   $<TARGET_FILE:uninstall>)
  return()
endif()

include(cmake/winetests.cmake)
