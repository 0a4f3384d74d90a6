# Operating-system edges: files, text encoding at the boundary, run directory, console.
set(platform_dir ${CMAKE_CURRENT_LIST_DIR})
if(WIN32)
  target_sources(rulecore PRIVATE ${platform_dir}/os_win.cpp)
else()
  target_sources(rulecore PRIVATE ${platform_dir}/os_posix.cpp)
endif()
