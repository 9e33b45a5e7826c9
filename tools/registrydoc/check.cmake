# Fails when the committed registry reference differs from the generator's.
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "registrydoc failed (${rc})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${DOC} ${OUT} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${DOC} is not what the settings table gives; run scripts/registry-doc.sh "
                        "and commit the result (diff ${DOC} ${OUT})")
endif()
