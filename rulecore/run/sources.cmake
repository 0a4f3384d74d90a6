# Document run: one pass of the loaded rules over a Word template.
set(run_dir ${CMAKE_CURRENT_LIST_DIR})
target_sources(rulecore PRIVATE
  ${run_dir}/status_sink.cpp
  ${run_dir}/document_run.cpp)
