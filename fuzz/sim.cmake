# The simulated device's side of the wire: deframer and session over arbitrary host bytes.
if(TARGET krt_sim)
    krt_add_fuzzer(fuzz_sim_deframer SOURCES ${CMAKE_CURRENT_LIST_DIR}/sim_deframer.cpp LIBS krt_sim RUNS 4000)
endif()
