# Checks the committed policy templates against the table's rows.
execute_process(COMMAND ${TOOL} --rows ${ROWS} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "policydoc --rows failed (${rc})")
endif()
execute_process(COMMAND ${PYTHON} ${SCRIPT} ${DOCS}/ZEVRNTPS.admx ${DOCS}/en-US/ZEVRNTPS.adml
                        ${ROWS} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the policy templates do not match the settings table")
endif()
