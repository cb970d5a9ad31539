# qx_compile_resources(NAME SCRIPT DEPENDS...): compiles resources/SCRIPT with
# windres (Windows-1252) into NAME_rc.o in the current build folder and sets
# NAME_RESOURCE_OBJECT in the caller's scope, to be listed among the sources
# of the program.
function(qx_compile_resources name script)
  set(object ${CMAKE_CURRENT_BINARY_DIR}/${name}_rc.o)
  add_custom_command(
    OUTPUT ${object}
    COMMAND ${CMAKE_RC_COMPILER} --codepage=1252 -I ${PROJECT_SOURCE_DIR}
            -I ${PROJECT_SOURCE_DIR}/resources
            -i ${PROJECT_SOURCE_DIR}/resources/${script} -O coff -o ${object}
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/${script} ${ARGN}
    COMMENT "Compiling the resources of ${name}"
    VERBATIM
  )
  set(${name}_RESOURCE_OBJECT ${object} PARENT_SCOPE)
endfunction()
