# The container parser under random headers (its source compiled in, so libFuzzer sees its branches).
krt_add_fuzzer(fuzz_container
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/image/fuzz_container.cpp ${PROJECT_SOURCE_DIR}/image/container.cpp
    LIBS krt_platform krt_container_writer RUNS 100000)
