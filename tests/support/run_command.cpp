#include "tests/support/run_command.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace quillora::testing {

std::string BuiltProgram(const std::string& name) {
#ifdef QUILLORA_BIN_DIR
  return std::string(QUILLORA_BIN_DIR) + "/" + name;
#else
  return name;
#endif
}

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input, const std::vector<std::string>& environment) {
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    for (const std::string& assignment : environment) putenv(strdup(assignment.c_str()));
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execve(program.c_str(), argv.data(), environ);
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);

  CommandResult result;
  std::size_t written = 0;
  fcntl(in[1], F_SETFL, O_NONBLOCK);
  bool inputOpen = true;
  if (input.empty()) {
    close(in[1]);
    inputOpen = false;
  }
  bool outOpen = true, errOpen = true;
  std::array<char, 65536> buffer;
  while (outOpen || errOpen) {
    std::vector<pollfd> fds;
    if (outOpen) fds.push_back({out[0], POLLIN, 0});
    if (errOpen) fds.push_back({err[0], POLLIN, 0});
    if (inputOpen) fds.push_back({in[1], POLLOUT, 0});
    if (poll(fds.data(), fds.size(), -1) < 0) break;
    for (const pollfd& p : fds) {
      if (p.revents == 0) continue;
      if (p.fd == in[1]) {
        const ssize_t n = write(in[1], input.data() + written, input.size() - written);
        if (n > 0) written += static_cast<std::size_t>(n);
        if (n < 0 || written == input.size()) {
          close(in[1]);
          inputOpen = false;
        }
        continue;
      }
      const ssize_t n = read(p.fd, buffer.data(), buffer.size());
      std::string& sink = p.fd == out[0] ? result.out : result.err;
      if (n > 0) {
        sink.append(buffer.data(), static_cast<std::size_t>(n));
      } else {
        close(p.fd);
        (p.fd == out[0] ? outOpen : errOpen) = false;
      }
    }
  }
  if (inputOpen) close(in[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace quillora::testing
