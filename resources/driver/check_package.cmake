# Checks that a driver package from outside is an MSI before a build embeds it, and copies it:
#   cmake -DPACKAGE=in.msi -DOUTPUT=out.msi -DMSIINFO=/usr/bin/msiinfo -P check_package.cmake
# An MSI is a compound file (signature D0 CF 11 E0 A1 B1 1A E1) whose Property table has a ProductVersion.
file(READ "${PACKAGE}" signature LIMIT 8 HEX)
if(NOT signature STREQUAL "d0cf11e0a1b11ae1")
    message(FATAL_ERROR "${PACKAGE}: not an MSI package (no compound-file signature)")
endif()
execute_process(COMMAND "${MSIINFO}" export "${PACKAGE}" Property
                OUTPUT_VARIABLE properties ERROR_VARIABLE error RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT properties MATCHES "(^|\n)ProductVersion\t([^\r\n]+)")
    message(FATAL_ERROR "${PACKAGE}: not an MSI package whose Property table msiinfo can read (${error})")
endif()
message(STATUS "${PACKAGE}: MSI package, ProductVersion ${CMAKE_MATCH_2}")
file(COPY_FILE "${PACKAGE}" "${OUTPUT}")
