# libFuzzer target over the Modbus reply checks. The project compiles with g++, so clang++
# builds this one program by a custom command from the few sources it needs; a short run is
# part of the test suite.
find_program(RV8_CLANGXX NAMES clang++ clang++-14)
if(NOT RV8_BUILD_FUZZ OR NOT RV8_CLANGXX)
  return()
endif()

set(_fuzz_sources
  ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_reply_checks.cpp
  ${CMAKE_SOURCE_DIR}/src/comm/NuvModbusFrame.cpp
  ${CMAKE_SOURCE_DIR}/src/comm/NuvModbusTypes.cpp
  ${CMAKE_SOURCE_DIR}/src/comm/NuvBytes.cpp)
set(_fuzz_headers
  ${CMAKE_SOURCE_DIR}/src/comm/NuvModbusFrame.h
  ${CMAKE_SOURCE_DIR}/src/comm/NuvModbusTypes.h
  ${CMAKE_SOURCE_DIR}/src/comm/NuvBytes.h)
set(_fuzz_out ${CMAKE_CURRENT_BINARY_DIR}/fuzz/fuzz_reply_checks)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fuzz)
add_custom_command(
  OUTPUT ${_fuzz_out}
  COMMAND ${RV8_CLANGXX} -std=c++20 -g -O1 -fPIC
          -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
          "-I$<JOIN:$<TARGET_PROPERTY:Qt6::Core,INTERFACE_INCLUDE_DIRECTORIES>,;-I>"
          -I${CMAKE_SOURCE_DIR}/src
          ${_fuzz_sources} $<TARGET_FILE:Qt6::Core> -o ${_fuzz_out}
  DEPENDS ${_fuzz_sources} ${_fuzz_headers}
  COMMENT "Building the reply-check fuzzer with clang++"
  COMMAND_EXPAND_LISTS VERBATIM)
add_custom_target(fuzz_reply_checks ALL DEPENDS ${_fuzz_out})
add_test(NAME fuzz_reply_checks COMMAND ${_fuzz_out} -runs=100000 -seed=1 -max_len=300)
set_tests_properties(fuzz_reply_checks PROPERTIES TIMEOUT 120)
