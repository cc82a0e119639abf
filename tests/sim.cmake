# The simulator's tests drive it with third-party Modbus masters: libmodbus linked into the test
# (run on a thread of its own, as it blocks) and mbpoll run as a process.
if(TARGET test_sim)
  target_link_libraries(test_sim PRIVATE PkgConfig::LIBMODBUS)
endif()
# `rv8 sim` is run as a process by the tests of its command line.
if(TARGET test_sim AND TARGET rv8)
  add_dependencies(test_sim rv8)
  target_compile_definitions(test_sim PRIVATE RV8_SIM_CLI="$<TARGET_FILE:rv8>")
endif()
