# A test program that starts the whole program `program` (lumora or cavitra)
# from a copy of its assembled run folder, under a virtual display and on a
# session bus of its own; `quiet_seconds` is its time in the sanitizer build
# on a quiet machine (set_widget_suite_time_limit). The remaining arguments
# are the test's sources; the run folder's path reaches them as
# LUMORA_RUN_DIR or CAVITRA_RUN_DIR.
function(add_started_program_test name program quiet_seconds)
  string(TOUPPER ${program} PROGRAM)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE ${program}_started_program_main)
  target_compile_definitions(${name} PRIVATE ${PROGRAM}_RUN_DIR="${${PROGRAM}_RUN_DIR}")
  add_dependencies(${name} ${program}_run)
  add_test(NAME ${name}
    COMMAND xvfb-run -a -s "-screen 0 1600x1000x24" dbus-run-session -- $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "GSETTINGS_BACKEND=memory;NO_AT_BRIDGE=1")
  set_widget_suite_time_limit(${name} ${quiet_seconds})
endfunction()
