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

# The run folder of Cavitra: its icon, start picture and cyst classifier, and
# the main window's interface file, which both programs share. Cavitra ships
# no preferences file: its settings folder starts empty.
set(CAVITRA_RUN_DIR ${CMAKE_BINARY_DIR}/run/cavitra)
add_custom_target(cavitra_run ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CAVITRA_RUN_DIR}/Glade
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data/cavitra ${CAVITRA_RUN_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/lumora/Glade/interfaz.glade ${CAVITRA_RUN_DIR}/Glade/
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:cavitra> ${CAVITRA_RUN_DIR}/
  DEPENDS cavitra
  COMMENT "Assembling the Cavitra run folder"
  VERBATIM)
