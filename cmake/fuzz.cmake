# Coverage-guided fuzzing of the code that takes outside text apart: the
# registry's uninstall command, "PATH" and program names, the module path.
# Each target runs for a fixed time as a test with the label "fuzz".
enable_testing()
set(FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
set(FUZZ_SECONDS 15 CACHE STRING "How long each fuzz target runs in the tests")

file(GLOB SUBSTITUTE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/substitute/*.cpp)
add_library(substitute STATIC ${SUBSTITUTE_SOURCES})
target_include_directories(substitute PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests/host)
target_compile_options(substitute PRIVATE ${FUZZ_FLAGS})

add_library(program STATIC ${PROGRAM_SOURCES})
target_include_directories(program PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
target_compile_options(program PRIVATE ${PROGRAM_OPTIONS} ${FUZZ_FLAGS} -fsanitize=fuzzer-no-link)
target_link_libraries(program PUBLIC substitute)

file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/fuzz/*_fuzz.cpp)
foreach(source ${FUZZ_TARGETS})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE ${FUZZ_FLAGS} -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE ${FUZZ_FLAGS} -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE program)
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name})
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME ${name} COMMAND ${name} -max_total_time=${FUZZ_SECONDS} -seed=1 -max_len=600 ${corpus})
    set_tests_properties(${name} PROPERTIES LABELS fuzz)
endforeach()
