# The simulator's tests drive it with third-party Modbus masters: libmodbus linked into the test
# (run on a thread of its own, as it blocks) and mbpoll run as a process.
if(TARGET test_sim)
  target_link_libraries(test_sim PRIVATE PkgConfig::LIBMODBUS)
endif()
