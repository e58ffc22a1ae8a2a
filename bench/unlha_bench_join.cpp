// unlha_bench_join OUT VOLUME...: joins the volumes into OUT the way the installer
// does, through the runtime's byte streams with one 4096-byte block: each volume's
// size measured by seeking to its end, then that many blocks read and written.
// The installer's own join lives in the engine; this is a copy of its loop, kept
// here so that the benchmark measures the stream layer underneath it alone.
// Prints "seconds=S".
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "bench_prefix.h"
#include "win32/stream.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: unlha_bench_join OUT VOLUME...\n");
    return 2;
  }
  const auto windows = [](const char* host) {
    return bench::WindowsPathOrDie(std::filesystem::absolute(host));
  };
  const std::string outPath = windows(argv[1]);
  std::vector<std::string> volumes;
  for (int i = 2; i < argc; ++i) volumes.push_back(windows(argv[i]));

  const auto start = std::chrono::steady_clock::now();
  auto out = win32::Stream::Open(outPath, "wb");
  if (!out.ok()) {
    std::fprintf(stderr, "%s\n", out.error().reason.c_str());
    return 1;
  }
  static char block[4096];
  for (const auto& volume : volumes) {
    auto in = win32::Stream::Open(volume, "rb");
    if (!in.ok()) continue;
    (*in)->Seek(0, SEEK_END);
    const std::int64_t size = (*in)->Tell();
    const std::int64_t blocks = (size + 4095) / 4096;
    (*in)->Seek(0, SEEK_SET);
    for (std::int64_t i = 0; i < blocks; ++i) {
      const std::size_t got = (*in)->Read(block, sizeof block);
      (*out)->Write(block, got);
    }
    (*in)->Close();
  }
  const bool closed = (*out)->Close();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("seconds=%.3f\n", took.count());
  return closed ? 0 : 1;
}
