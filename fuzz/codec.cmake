krt_add_fuzzer(fuzz_receive SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_receive.cpp LIBS krt_engine RUNS 30000)
