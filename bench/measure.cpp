// Runs a command with its standard input from /dev/null and its output
// discarded (kept with --keep-output, and then printed before this tool's
// line), and prints its wall-clock seconds, its processor seconds (user
// and system) and its peak resident memory in kilobytes ("WALL CPU
// KILOBYTES"). Exits with the command's status.
//
//   lumiflow-bench-measure [--keep-output] COMMAND [ARGUMENT...]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  const bool keepOutput = argc > 1 && std::strcmp(argv[1], "--keep-output") == 0;
  if (keepOutput) {
    --argc;
    ++argv;
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: lumiflow-bench-measure [--keep-output] COMMAND [ARGUMENT...]\n");
    return 2;
  }
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return 2;
  if (child == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open("/dev/null", O_WRONLY);
    if (in < 0 || out < 0) _exit(127);
    dup2(in, 0);
    if (!keepOutput) dup2(out, 1);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return 2;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto cpu = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
  std::printf("%.6f %.6f %ld\n", seconds, cpu(usage.ru_utime) + cpu(usage.ru_stime),
              usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
