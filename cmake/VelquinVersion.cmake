# The project's version as the program's files need it: generated/VelquinVersion.h
# for the resource script, the about box and the tests, and the four-part file
# version (missing parts 0) for the manifest.
set(VELQUIN_FILE_VERSION_NUMBERS ${PROJECT_VERSION_MAJOR})
foreach(part MINOR PATCH TWEAK)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    string(APPEND VELQUIN_FILE_VERSION_NUMBERS ",0")
  else()
    string(APPEND VELQUIN_FILE_VERSION_NUMBERS ",${PROJECT_VERSION_${part}}")
  endif()
endforeach()
string(REPLACE "," "." VELQUIN_FILE_VERSION "${VELQUIN_FILE_VERSION_NUMBERS}")
set(VELQUIN_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/app/res/VelquinVersion.h.in ${VELQUIN_GENERATED_DIR}/VelquinVersion.h @ONLY)
