# The run folder of Lumora: the program with the interface files, icons,
# start picture, default preferences and default classifiers it reads
# relative to its working folder.
set(LUMORA_RUN_DIR ${CMAKE_BINARY_DIR}/run/lumora)
add_custom_target(lumora_run ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LUMORA_RUN_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data/lumora ${LUMORA_RUN_DIR}
  COMMAND make_default_preferences ${LUMORA_RUN_DIR}/preferences.xml
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:lumora> ${LUMORA_RUN_DIR}/
  DEPENDS lumora make_default_preferences
  COMMENT "Assembling the Lumora run folder"
  VERBATIM)
