# GLEW for the Windows build, compiled in statically from its release
# sources. Windows ships no GLEW and Debian packages none for MinGW, so the
# sources come from Debian's `glew` source package (scripts/fetch-glew.sh),
# unpacked in the build folder, unless KORVANE_GLEW_DIR names a copy.
# Defines GLEW::GLEW, as find_package(GLEW) does on Linux.
set(KORVANE_GLEW_DIR "" CACHE PATH
    "GLEW release sources (holding src/glew.c); empty: fetch them from Debian's source package")

set(korvaneGlewDir ${KORVANE_GLEW_DIR})
if(NOT korvaneGlewDir)
    set(korvaneGlewDir ${CMAKE_BINARY_DIR}/_deps/glew)
    if(NOT EXISTS ${korvaneGlewDir}/src/glew.c)
        execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-glew.sh ${CMAKE_BINARY_DIR}/_deps
                        RESULT_VARIABLE korvaneFetchResult)
        if(NOT korvaneFetchResult EQUAL 0)
            message(FATAL_ERROR "Could not fetch GLEW's sources (scripts/fetch-glew.sh); "
                                "run it by hand or set KORVANE_GLEW_DIR")
        endif()
    endif()
endif()
if(NOT EXISTS ${korvaneGlewDir}/src/glew.c OR NOT EXISTS ${korvaneGlewDir}/include/GL/glew.h)
    message(FATAL_ERROR "${korvaneGlewDir} holds no GLEW release (src/glew.c, include/GL/glew.h)")
endif()

enable_language(C)
add_library(korvane_glew STATIC ${korvaneGlewDir}/src/glew.c)
target_include_directories(korvane_glew SYSTEM PUBLIC ${korvaneGlewDir}/include)
target_compile_definitions(korvane_glew PUBLIC GLEW_STATIC)
# Third-party code: built as released, its warnings are not ours to fix.
target_compile_options(korvane_glew PRIVATE -w)
target_link_libraries(korvane_glew PUBLIC OpenGL::GL)
add_library(GLEW::GLEW ALIAS korvane_glew)
