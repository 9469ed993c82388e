# The literal transcription of the original colour index loops: the benchmark's baseline and
# the tests' reference. Included from tools/bench and from the tests (which also build without
# the benchmarks), so it is defined once, whichever comes first.
if(NOT TARGET kanvo_literal_reference)
  add_library(kanvo_literal_reference STATIC
    ${CMAKE_CURRENT_LIST_DIR}/LiteralColorIndex.h
    ${CMAKE_CURRENT_LIST_DIR}/LiteralColorIndex.cpp)
  target_include_directories(kanvo_literal_reference PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(kanvo_literal_reference PUBLIC kanvo_core)
endif()
