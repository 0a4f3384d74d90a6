# Word automation: the portable session over the call contract, and the engine that
# carries the contract on this platform. An engine's own sources.cmake sets
# RULECORE_WORD_ENGINE to ON when it provides makePlatformDispatcher; without one
# the build gets a dispatcher whose every call fails quietly.
set(word_dir ${CMAKE_CURRENT_LIST_DIR})
target_sources(rulecore PRIVATE
  ${word_dir}/automation.cpp
  ${word_dir}/word_session.cpp)

set(RULECORE_WORD_ENGINE OFF)
if(WIN32 AND EXISTS ${word_dir}/com/sources.cmake)
  include(${word_dir}/com/sources.cmake)
elseif(NOT WIN32 AND RULECORE_UNO AND EXISTS ${word_dir}/uno/sources.cmake)
  include(${word_dir}/uno/sources.cmake)
endif()
# The engine's file may have changed word_dir; take it afresh.
if(NOT RULECORE_WORD_ENGINE)
  target_sources(rulecore PRIVATE ${CMAKE_CURRENT_LIST_DIR}/platform_dispatcher_none.cpp)
endif()
