#include "child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>

extern char** environ;

namespace {

double ms_of(const timeval& time) {
  return time.tv_sec * 1e3 + time.tv_usec / 1e3;
}

}  // namespace

ChildRun run_child(const std::vector<std::string>& args, const char* out_path) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path, O_WRONLY | O_CREAT | O_TRUNC, 0644);

  ChildRun run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return run;
  const auto stop = std::chrono::steady_clock::now();

  run.wall_ms = std::chrono::duration<double, std::milli>(stop - start).count();
  run.cpu_ms = ms_of(usage.ru_utime) + ms_of(usage.ru_stime);
  if (WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
  return run;
}
