# The shipped folder: setup.exe, qxinet.exe, qxuninst.exe and the setup.ini
# that installs QX Internet, written to package/ in the build folder.
set(QX_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package CACHE INTERNAL "")
add_custom_target(qx_package ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QX_PACKAGE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          $<TARGET_FILE:setup> $<TARGET_FILE:qxinet> $<TARGET_FILE:qxuninst>
          ${PROJECT_SOURCE_DIR}/resources/setup.ini ${QX_PACKAGE_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/setup.ini
  COMMENT "Writing the package folder"
  VERBATIM
)
add_dependencies(qx_package setup qxinet qxuninst)
