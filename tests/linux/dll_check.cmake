# Inspects the built DLL without running it, so that it also checks the
# 32-bit product on a machine that cannot run 32-bit programs: it exports
# exactly the five entry points under their plain names and imports only
# system DLLs.
#
#   cmake -DOBJDUMP=<objdump> -DDLL=<ZEVRNTPS.dll> -P dll_check.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed: ${rc}")
endif()

# The name table: the rows after its heading, up to the next blank line.
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${DLL} has no export name table")
endif()
string(SUBSTRING "${dump}" ${at} -1 names)
string(FIND "${names}" "\n\n" end)
string(SUBSTRING "${names}" 0 ${end} names)
string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" rows "${names}")
set(exports "")
foreach(row ${rows})
    string(REGEX REPLACE "^\t\\[ *[0-9]+\\] " "" name "${row}")
    list(APPEND exports "${name}")
endforeach()
list(SORT exports)
set(expected NFSClientProperty NISInstall NISProperty NISRemove PrintSharingProperty)
if(NOT exports STREQUAL expected)
    message(FATAL_ERROR "exports are '${exports}', expected '${expected}'")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" rows "${dump}")
set(allowed advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll)
set(imports "")
foreach(row ${rows})
    string(REGEX REPLACE "^DLL Name: " "" name "${row}")
    string(TOLOWER "${name}" name)
    list(APPEND imports "${name}")
    if(NOT name IN_LIST allowed)
        message(FATAL_ERROR "imports ${name}, which is no system DLL")
    endif()
endforeach()
if(NOT imports)
    message(FATAL_ERROR "no imports found in the dump of ${DLL}")
endif()
message(STATUS "exports: ${exports}; imports: ${imports}")
