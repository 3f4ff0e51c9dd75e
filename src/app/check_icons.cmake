# Regenerates the icons into WORK_DIR and fails when they differ from the committed ones.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${PYTHON} ${SCRIPT} ${WORK_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_icons.py failed: ${result}")
endif()
foreach(icon raidkit_main.ico raidkit_info.ico)
  file(SHA256 ${WORK_DIR}/${icon} generated)
  file(SHA256 ${SOURCE_DIR}/${icon} committed)
  if(NOT generated STREQUAL committed)
    message(FATAL_ERROR "${icon} differs from what make_icons.py draws: run "
                        "python3 src/app/make_icons.py src/app")
  endif()
endforeach()
