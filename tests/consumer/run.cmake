# Installs the built tree into a scratch prefix, then configures, builds and runs a
# small application that uses it through find_package(OLMCalendar).
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${WORK_DIR}/prefix
    RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
    message(FATAL_ERROR "install failed: ${rc}")
endif()
foreach(step
        "${CMAKE_COMMAND};-S;${SOURCE_DIR}/tests/consumer/app;-B;${WORK_DIR}/build;-G;Ninja;-DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix"
        "${CMAKE_COMMAND};--build;${WORK_DIR}/build"
        "${WORK_DIR}/build/consumer")
    execute_process(COMMAND ${step} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(rc)
        message(FATAL_ERROR "${step} failed (${rc}):\n${out}")
    endif()
endforeach()
message(STATUS "consumer: ${out}")
