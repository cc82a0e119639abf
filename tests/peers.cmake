# Third-party Modbus peers for the interoperation tests: a libmodbus slave program and the
# pymodbus ASCII slave script (run by Debian's python3), plus socat started by the tests.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBMODBUS REQUIRED IMPORTED_TARGET libmodbus)
add_executable(rv8_modbus_slave ${CMAKE_CURRENT_SOURCE_DIR}/peers/modbus_slave.cpp)
target_link_libraries(rv8_modbus_slave PRIVATE PkgConfig::LIBMODBUS)

foreach(t test_comm test_cli)
  if(TARGET ${t})
    add_dependencies(${t} rv8_modbus_slave)
    target_compile_definitions(${t} PRIVATE
      RV8_MODBUS_SLAVE="$<TARGET_FILE:rv8_modbus_slave>"
      RV8_PEERS_DIR="${CMAKE_CURRENT_SOURCE_DIR}/peers")
  endif()
endforeach()
# The commissioning tests check the starter's registers with libmodbus as the master.
if(TARGET test_cli)
  target_link_libraries(test_cli PRIVATE PkgConfig::LIBMODBUS)
endif()
if(TARGET test_cli AND TARGET rv8)
  add_dependencies(test_cli rv8)
  target_compile_definitions(test_cli PRIVATE RV8_CLI="$<TARGET_FILE:rv8>")
endif()
