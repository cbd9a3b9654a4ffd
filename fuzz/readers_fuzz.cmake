# The stream readers of the platform and of data/, and the XML loader.
add_executable(streams_fuzz
  streams_fuzz.cpp
  ${CMAKE_SOURCE_DIR}/platform/rtl/streams.cpp)
add_executable(datastream_fuzz
  datastream_fuzz.cpp
  ${CMAKE_SOURCE_DIR}/data/cxVariants.cpp
  ${CMAKE_SOURCE_DIR}/data/cxFilter.cpp)
add_executable(xmldoc_fuzz
  xmldoc_fuzz.cpp
  ${CMAKE_SOURCE_DIR}/platform/xml/xmldoc.cpp
  ${CMAKE_SOURCE_DIR}/platform/xml/xmlinternal.cpp)
target_link_libraries(streams_fuzz PRIVATE korvane_rtl)
target_link_libraries(datastream_fuzz PRIVATE korvane_data)
target_link_libraries(xmldoc_fuzz PRIVATE korvane_xml)
foreach(target streams_fuzz datastream_fuzz xmldoc_fuzz)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${KORVANE_FUZZ_FLAGS})
  target_link_options(${target} PRIVATE ${KORVANE_FUZZ_FLAGS})
endforeach()
