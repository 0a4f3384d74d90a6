# The LibreOffice engine against a minimal direct UNO client on the same
# 50-page template (scripts/bench-uno.sh runs it).
if(TARGET rulecore_uno_sdk)
  add_executable(uno_bench ${CMAKE_CURRENT_LIST_DIR}/uno_bench.cpp)
  target_link_libraries(uno_bench PRIVATE rulecore rulecore_uno_sdk rulecore_warnings)
endif()
