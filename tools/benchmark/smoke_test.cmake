# Runs korvane-benchmark briefly and checks that it ends well and prints every
# figure of its report. The numbers themselves are not judged.
# Usage: cmake -DBENCHMARK=<path> -P smoke_test.cmake
execute_process(COMMAND ${BENCHMARK} --runs 2 --frames 2 --warm-up 1
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "korvane-benchmark exited with ${result}")
endif()

# Median, minimum and maximum (CMake's regular expressions have no {3}).
set(number " +[0-9]+\\.[0-9]+")
set(row "${number}${number}${number}")
set(passRow "(${row}| +n/a +n/a +n/a)")
foreach(line
        "\nframes per second${row}\n"
        "\nframe ms${row}\n"
        "\n  shadow pass ms${passRow}\n"
        "\n  G-buffer pass ms${passRow}\n"
        "\n  composite pass ms${passRow}\n"
        "\nframe ms, floor composite${row}\n"
        "\n  composite pass ms, floor${passRow}\n"
        "\nratio real/floor, frame time${row}\n"
        "\nratio real/floor, process cpu time${row}\n"
        "\nfirst frame ms \\(start to swap\\)${row}\n"
        "\n2 runs; each draws 2 frames"
        "\npasses: ")
    if(NOT output MATCHES "${line}")
        message(FATAL_ERROR "the report lacks a line matching: ${line}")
    endif()
endforeach()

# The first frame of another command: here the tool behind a launcher (env),
# as its Windows build is timed behind Wine.
execute_process(COMMAND ${BENCHMARK} --runs 1 --frames 1 --warm-up 0
                        --first-frame-of "env ${BENCHMARK}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "korvane-benchmark --first-frame-of exited with ${result}")
endif()
foreach(line
        "\nfirst frame: from starting \"env [^\"]*korvane-benchmark\" anew"
        "\nfirst frame ms \\(start to swap\\)${row}\n")
    if(NOT output MATCHES "${line}")
        message(FATAL_ERROR "the report lacks a line matching: ${line}")
    endif()
endforeach()
