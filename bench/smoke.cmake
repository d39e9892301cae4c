# Runs from bench_smoke: BENCH is the executable, WORK_DIR a scratch folder of its own.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(db "${WORK_DIR}/bench.fdb")

execute_process(COMMAND "${BENCH}" --generate-small "${db}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "--generate-small failed (${rc})")
endif()

execute_process(COMMAND "${BENCH}" --list OUTPUT_VARIABLE names RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "--list failed (${rc})")
endif()

execute_process(COMMAND "${BENCH}" --quick "${db}" OUTPUT_VARIABLE lines RESULT_VARIABLE rc)
message("${lines}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the run failed (${rc})")
endif()

string(REPLACE "\n" ";" names "${names}")
foreach(name IN LISTS names)
  if(name AND NOT lines MATCHES "bench ${name} app_ms=[0-9.]+ sql_ms=[0-9.]+ ratio=[0-9.]+ peak_rss_mb=[0-9.]+\n")
    message(FATAL_ERROR "no line for ${name}")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
