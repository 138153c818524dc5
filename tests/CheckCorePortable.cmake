# Fails when the core includes Qt or operating-system headers, or when a Qt include would compile
# with the core's include paths.
file(GLOB_RECURSE files "${SRC}/*.h" "${SRC}/*.cpp")
foreach(f ${files})
    file(STRINGS "${f}" hits REGEX "#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt|windows\\.h|unistd\\.h|sys/)")
    if(hits)
        message(FATAL_ERROR "${f} includes a Qt or OS header: ${hits}")
    endif()
endforeach()
execute_process(COMMAND ${CXX} -std=c++20 -fsyntax-only -I${INC} ${PROBE}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(rc EQUAL 0)
    message(FATAL_ERROR "a Qt include compiled with the core's include paths")
endif()
message(STATUS "core is free of Qt and OS headers")
