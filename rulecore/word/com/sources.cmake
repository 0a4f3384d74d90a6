# The automation contract on COM IDispatch (Windows only).
set(word_com_dir ${CMAKE_CURRENT_LIST_DIR})
target_sources(rulecore PRIVATE
  ${word_com_dir}/com_dispatcher_win.cpp
  ${word_com_dir}/message_filter_win.cpp
  ${word_com_dir}/platform_dispatcher_win.cpp)
target_link_libraries(rulecore PUBLIC ole32 oleaut32 uuid)
set(RULECORE_WORD_ENGINE ON)
