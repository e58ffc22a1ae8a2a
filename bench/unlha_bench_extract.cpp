// unlha_bench_extract ARCHIVE DESTINATION: runs the installer's command through
// Unlha (no window) and prints "seconds=S maxrss_kb=K result=R".
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "bench_prefix.h"
#include "unlha32/unlha32.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: unlha_bench_extract ARCHIVE DESTINATION\n");
    return 2;
  }
  const std::string archive = bench::WindowsPathOrDie(std::filesystem::absolute(argv[1]));
  std::filesystem::create_directories(argv[2]);
  const std::string destination =
      bench::WindowsPathOrDie(std::filesystem::absolute(argv[2])) + "\\";
  const std::string command = "x \"" + archive + "\" \"" + destination + "\"";
  const auto start = std::chrono::steady_clock::now();
  const int result = Unlha(nullptr, command.c_str(), nullptr, 0);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("seconds=%.3f maxrss_kb=%ld result=%d\n", took.count(), usage.ru_maxrss, result);
  return result == 0 ? 0 : 1;
}
