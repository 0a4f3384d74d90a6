set(rules_dir ${CMAKE_CURRENT_LIST_DIR})
target_sources(rulecore PRIVATE
  ${rules_dir}/text.cpp
  ${rules_dir}/message_pump.cpp
  ${rules_dir}/extract.cpp
  ${rules_dir}/rules_table.cpp
  ${rules_dir}/parse.cpp
  ${rules_dir}/load.cpp
  ${rules_dir}/expander.cpp)
