#include "support/Readers.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <poll.h>

extern char** environ;

namespace VellixTest {

TRunResult RunProgram(const std::vector<std::string>& aArguments) {
  TRunResult result;
  int out[2], err[2];
  if (aArguments.empty() || ::pipe2(out, O_CLOEXEC) != 0) return result;
  if (::pipe2(err, O_CLOEXEC) != 0) {
    ::close(out[0]);
    ::close(out[1]);
    return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  std::vector<std::string> args = aArguments;
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  if (rc == 0) {
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.Out, &result.Err};
    int open = 2;
    while (open > 0) {
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        break;
      }
      for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) continue;
        char chunk[8192];
        const ssize_t n = ::read(fds[i].fd, chunk, sizeof chunk);
        if (n > 0) {
          sinks[i]->append(chunk, size_t(n));
        } else if (n == 0 || errno != EINTR) {
          fds[i].fd = -1;
          --open;
        }
      }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ::close(out[0]);
  ::close(err[0]);
  return result;
}

TRunResult QpdfCheck(const std::string& aPdf) { return RunProgram({"qpdf", "--check", aPdf}); }

TRunResult PdfToText(const std::string& aPdf, const std::vector<std::string>& aOptions) {
  std::vector<std::string> args{"pdftotext"};
  args.insert(args.end(), aOptions.begin(), aOptions.end());
  args.push_back(aPdf);
  args.push_back("-");
  return RunProgram(args);
}

TRunResult PdfFonts(const std::string& aPdf) { return RunProgram({"pdffonts", aPdf}); }

TRunResult PdfImagesList(const std::string& aPdf) { return RunProgram({"pdfimages", "-list", aPdf}); }

TRunResult PdfToPpm(const std::string& aPdf, const std::vector<std::string>& aOptions, const std::string& aOutputRoot) {
  std::vector<std::string> args{"pdftoppm"};
  args.insert(args.end(), aOptions.begin(), aOptions.end());
  args.push_back(aPdf);
  args.push_back(aOutputRoot);
  return RunProgram(args);
}

TRunResult MutoolDraw(const std::string& aPdf) {
  return RunProgram({"mutool", "draw", "-q", "-o", "/dev/null", "-F", "txt", aPdf});
}

std::string ReadersComplaints(const std::string& aPdf) {
  std::string complaints;
  const TRunResult qpdf = QpdfCheck(aPdf);
  if (qpdf.Status != 0)
    complaints += "qpdf --check status " + std::to_string(qpdf.Status) + ":\n" + qpdf.Out + qpdf.Err;
  const TRunResult text = PdfToText(aPdf);
  if (text.Status != 0 || !text.Err.empty())
    complaints += "pdftotext status " + std::to_string(text.Status) + ":\n" + text.Err;
  return complaints;
}

std::string ReadersComplaintsOfBytes(const std::string& aBytes) {
  char path[] = "/tmp/vellix-readers-XXXXXX.pdf";
  const int fd = ::mkstemps(path, 4);
  if (fd < 0) return "cannot create a temporary file";
  const bool written = ::write(fd, aBytes.data(), aBytes.size()) == ssize_t(aBytes.size());
  ::close(fd);
  std::string complaints = written ? ReadersComplaints(path) : "cannot write a temporary file";
  ::unlink(path);
  return complaints;
}

}  // namespace VellixTest
