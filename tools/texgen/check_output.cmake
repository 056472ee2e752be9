# Test driver for korvane-texgen, run with cmake -P. Checks that
#  - two runs write the same bytes, of the length of a square RGB texture
#    with the requested side, and the crate differs from the floor;
#  - with REFERENCE_DIR, the output equals the committed textures there, so
#    a change to the generator cannot go out without regenerated files;
#  - a side that is not a multiple of 4 is refused and writes nothing;
#  - a directory that cannot be written to gives an error, not success.
foreach(var TEXGEN WORK_DIR SIDE)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "check_output.cmake needs -D${var}=...")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/first" "${WORK_DIR}/second" "${WORK_DIR}/refused")

foreach(run first second)
    execute_process(COMMAND "${TEXGEN}" --side ${SIDE} "${WORK_DIR}/${run}"
                    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "run ${run} failed (${rc}): ${err}")
    endif()
endforeach()

math(EXPR expected "3 * ${SIDE} * ${SIDE}")
foreach(name box.raw plane.raw)
    file(SIZE "${WORK_DIR}/first/${name}" size)
    if(NOT size EQUAL expected)
        message(FATAL_ERROR "${name} has ${size} bytes, expected ${expected}")
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                            "${WORK_DIR}/first/${name}" "${WORK_DIR}/second/${name}"
                    RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
        message(FATAL_ERROR "${name} differs between two runs")
    endif()
    if(DEFINED REFERENCE_DIR)
        execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                                "${WORK_DIR}/first/${name}" "${REFERENCE_DIR}/${name}"
                        RESULT_VARIABLE differ)
        if(NOT differ EQUAL 0)
            message(FATAL_ERROR "${name} differs from ${REFERENCE_DIR}/${name}: "
                                "regenerate the committed textures with korvane-texgen")
        endif()
    endif()
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                        "${WORK_DIR}/first/box.raw" "${WORK_DIR}/first/plane.raw"
                RESULT_VARIABLE differ)
if(differ EQUAL 0)
    message(FATAL_ERROR "box.raw and plane.raw are the same image")
endif()

math(EXPR badSide "${SIDE} + 2")
execute_process(COMMAND "${TEXGEN}" --side ${badSide} "${WORK_DIR}/refused"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
file(GLOB written "${WORK_DIR}/refused/*")
if(NOT rc EQUAL 2 OR written)
    message(FATAL_ERROR "side ${badSide} gave exit code ${rc} and wrote '${written}'")
endif()

execute_process(COMMAND "${TEXGEN}" --side ${SIDE} "${WORK_DIR}/missing/dir"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err MATCHES "cannot open")
    message(FATAL_ERROR "unwritable directory gave exit code ${rc}, message '${err}'")
endif()
