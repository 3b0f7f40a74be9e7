# The Wine test run: GoogleTest from Debian's source package, every test binary run
# through scripts/wine-run in a prefix that belongs to this build tree.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(KVX_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
# Fixture libraries (a resource library, a DLL to hold in use) must not sit next to the
# programs under test, or the program would pick them up: they get a folder of their own.
set(KVX_FIXTURE_DIR ${KVX_BIN_DIR}/fixtures)
set_target_properties(uninstall PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KVX_BIN_DIR})

set(KVX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix of this build tree")
set(KVX_LOCALE_DIR ${CMAKE_BINARY_DIR}/locale)
configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# Shared test support (process launching, scratch folders, window driving).
file(GLOB KVX_TEST_COMMON CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/common/*.cpp)
add_library(kvx_testcommon STATIC ${KVX_TEST_COMMON})
target_include_directories(kvx_testcommon PUBLIC ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kvx_testcommon PUBLIC kvx_core)

# Helper programs and libraries that the tests start or load.
file(GLOB KVX_HELPER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/helpers/*.cpp)
set(KVX_HELPER_TARGETS)
foreach(src ${KVX_HELPER_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  if(name MATCHES "_dll$")
    string(REGEX REPLACE "_dll$" "" dllname ${name})
    add_library(helper_${dllname} SHARED ${src})
    set_target_properties(helper_${dllname} PROPERTIES OUTPUT_NAME ${dllname} PREFIX ""
                          RUNTIME_OUTPUT_DIRECTORY ${KVX_FIXTURE_DIR})
    target_link_libraries(helper_${dllname} PRIVATE kvx_testcommon)
    list(APPEND KVX_HELPER_TARGETS helper_${dllname})
  else()
    add_executable(helper_${name} ${src})
    set_target_properties(helper_${name} PROPERTIES OUTPUT_NAME ${name}
                          RUNTIME_OUTPUT_DIRECTORY ${KVX_BIN_DIR})
    target_link_libraries(helper_${name} PRIVATE kvx_testcommon)
    list(APPEND KVX_HELPER_TARGETS helper_${name})
  endif()
endforeach()

# Resource-only libraries: tests/helpers/NAME.rc becomes fixtures/NAME.dll.
file(GLOB KVX_HELPER_RC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/helpers/*.rc)
foreach(rc ${KVX_HELPER_RC})
  get_filename_component(name ${rc} NAME_WE)
  add_library(resdll_${name} SHARED ${rc})
  set_target_properties(resdll_${name} PROPERTIES OUTPUT_NAME ${name} PREFIX ""
                        LINKER_LANGUAGE C RUNTIME_OUTPUT_DIRECTORY ${KVX_FIXTURE_DIR})
  target_link_options(resdll_${name} PRIVATE -nostdlib -Wl,--entry=0)
  list(APPEND KVX_HELPER_TARGETS resdll_${name})
endforeach()

# Companion stand-ins that an installation folder holds next to the program.
if(EXISTS ${CMAKE_SOURCE_DIR}/companions/CMakeLists.txt)
  add_subdirectory(${CMAKE_SOURCE_DIR}/companions ${CMAKE_BINARY_DIR}/companions)
endif()

file(GLOB_RECURSE KVX_WINTEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_wintest.cpp)
# The test program carries the product resources, so GetMsg and the dialogs work in-process.
add_executable(wine_tests ${KVX_WINTEST_SOURCES} ${KVX_RC_SOURCES})
set_target_properties(wine_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KVX_BIN_DIR})
find_package(ZLIB REQUIRED)
target_link_libraries(wine_tests PRIVATE kvx_testcommon gtest gmock gtest_main ZLIB::ZLIB)
add_dependencies(wine_tests uninstall ${KVX_HELPER_TARGETS})
if(TARGET companions)
  add_dependencies(wine_tests companions)
endif()

include(GoogleTest)
gtest_discover_tests(wine_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     WORKING_DIRECTORY ${KVX_BIN_DIR}
                     PROPERTIES TIMEOUT 120 RESOURCE_LOCK wineprefix)

# The same product checks run on the 64-bit build of the program.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME product_checks_x64
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/resources/check_product.py
                 --arch x86_64 $<TARGET_FILE:uninstall>)
