# The dataset filter parser and evaluator.
add_executable(filterexpr_fuzz
  filterexpr_fuzz.cpp
  ${CMAKE_SOURCE_DIR}/platform/db/filterexpr.cpp)
target_include_directories(filterexpr_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(filterexpr_fuzz PRIVATE ${KORVANE_FUZZ_FLAGS})
target_link_options(filterexpr_fuzz PRIVATE ${KORVANE_FUZZ_FLAGS})
target_link_libraries(filterexpr_fuzz PRIVATE korvane_rtl)
