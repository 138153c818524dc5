# Every starter template compiles with gcc -Wall -Wextra without a warning, read as code page
# 932 as the editor writes it.
file(GLOB templates "${DIR}/*.tpl")
list(LENGTH templates count)
if(count LESS 5)
    message(FATAL_ERROR "only ${count} starter templates in ${DIR}")
endif()
foreach(t ${templates})
    execute_process(COMMAND ${CC} -x c -std=c99 -Wall -Wextra -Werror -finput-charset=CP932
                            -c "${t}" -o "${OUT}/starter.o"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${t} does not compile cleanly:\n${out}")
    endif()
    file(READ "${t}" bytes HEX)
    if(NOT bytes MATCHES "0d0a$")
        message(FATAL_ERROR "${t} does not end in CR LF")
    endif()
endforeach()
message(STATUS "${count} starter templates compile without a warning")
