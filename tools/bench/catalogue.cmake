gh_add_benchmark(bench_catalogue
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/catalogue_bench.cpp
  LIBS gh_catalogue)
