gh_add_benchmark(bench_workshop
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/workshop_install_bench.cpp
  LIBS gh_workshop)
