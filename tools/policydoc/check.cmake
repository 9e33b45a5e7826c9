# Fails when the committed policy templates differ from the generator's.
file(MAKE_DIRECTORY ${OUT}/en-US)
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "policydoc failed (${rc})")
endif()
foreach(name ZEVRNTPS.admx en-US/ZEVRNTPS.adml)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${DOCS}/${name} ${OUT}/${name}
                    RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
        message(FATAL_ERROR "${DOCS}/${name} is not what the settings table gives; run "
                            "scripts/policy-templates.sh and commit the result "
                            "(diff ${DOCS}/${name} ${OUT}/${name})")
    endif()
endforeach()
