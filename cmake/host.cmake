option(AUTORUN_FUZZ "Build the fuzz targets (with clang) instead of the tests" OFF)
if(AUTORUN_FUZZ)
    include(cmake/fuzz.cmake)
    return()
endif()

enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

option(AUTORUN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(AUTORUN_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# The in-memory stand-in for the Win32 calls, linked after the program.
file(GLOB SUBSTITUTE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/substitute/*.cpp)
add_library(substitute STATIC ${SUBSTITUTE_SOURCES})
target_include_directories(substitute PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests/host)
target_compile_options(substitute PRIVATE -Wall -Wextra)

add_library(program STATIC ${PROGRAM_SOURCES})
target_include_directories(program PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
target_compile_options(program PRIVATE ${PROGRAM_OPTIONS})
target_link_libraries(program PUBLIC substitute)

file(GLOB HOST_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*_test.cpp)
add_executable(host_tests ${HOST_TESTS})
target_link_libraries(host_tests PRIVATE program GTest::gtest_main)
target_compile_definitions(host_tests PRIVATE AUTORUN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(host_tests PROPERTIES LABELS host)

# The shipped 32-bit build hands its children 4-byte handles: the launch
# tests again, with the services built that way.
add_library(program_entry4 STATIC ${PROGRAM_SOURCES})
target_include_directories(program_entry4 PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
target_compile_options(program_entry4 PRIVATE ${PROGRAM_OPTIONS})
target_compile_definitions(program_entry4 PUBLIC HANDLE_ENTRY_SIZE=4)
target_link_libraries(program_entry4 PUBLIC substitute)
add_executable(launch_tests_entry4 ${CMAKE_SOURCE_DIR}/tests/host/launch_test.cpp)
target_link_libraries(launch_tests_entry4 PRIVATE program_entry4 GTest::gtest_main)
gtest_discover_tests(launch_tests_entry4 TEST_PREFIX entry4. PROPERTIES LABELS host)

if(EXISTS ${CMAKE_SOURCE_DIR}/tools/CMakeLists.txt)
    add_subdirectory(tools)
endif()
if(NOT AUTORUN_SANITIZE)
    add_subdirectory(tests/exe)
    add_subdirectory(tests/wine)
endif()
