#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Runs a test driver with every file it writes limited to limit bytes, as on a nearly full disk:
// a write past it raises SIGXFSZ, which the driver itself must ignore to see the write fail with
// EFBIG. Returns its exit code (-1 when a signal ended it); errors receives what it wrote to stderr.
inline int RunLimited(const std::vector<std::string>& args, size_t limit, const std::string& errorFile,
                      std::string& errors) {
  const pid_t child = fork();
  if (child == 0) {
    const rlimit size{limit, limit};
    setrlimit(RLIMIT_FSIZE, &size);
    signal(SIGXFSZ, SIG_DFL);  // as a shell's ulimit -f leaves it
    const int fd = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  std::ifstream in(errorFile);
  errors.assign(std::istreambuf_iterator<char>(in), {});
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
