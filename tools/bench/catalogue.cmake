gh_add_benchmark(bench_catalogue
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/catalogue_bench.cpp ${CMAKE_SOURCE_DIR}/tests/support/ModFileWriter.cpp
  LIBS gh_catalogue)
