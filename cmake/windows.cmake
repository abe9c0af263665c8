enable_language(RC)

add_executable(autorun WIN32 ${PROGRAM_SOURCES} res/autorun.rc)
target_include_directories(autorun PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res)
target_compile_options(autorun PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${PROGRAM_OPTIONS} -Os -fno-asynchronous-unwind-tables>)
target_link_options(autorun PRIVATE -static-libgcc -static-libstdc++ -s)
target_link_libraries(autorun PRIVATE shell32)

# A changed picture or id must rebuild the resources.
file(GLOB ARTWORK CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.bmp ${CMAKE_SOURCE_DIR}/res/*.ico)
set_source_files_properties(res/autorun.rc PROPERTIES OBJECT_DEPENDS "${ARTWORK};${CMAKE_SOURCE_DIR}/res/resource.h")

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/helpers/CMakeLists.txt)
    add_subdirectory(tests/wine/helpers)
endif()
add_subdirectory(tools/sample-disc)
