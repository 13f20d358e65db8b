// Runs a command as on a Linux kernel before 6.9, which refuses a pidfd of a thread:
// old_kernel COMMAND [ARGUMENT...]. A seccomp filter makes pidfd_open with PIDFD_THREAD fail with
// EINVAL, as those kernels answer the flag they do not know; everything else, a pidfd of a whole
// process included, is left as it is. The filter stays for the command and all it starts.
#include <fcntl.h>
#include <seccomp.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef PIDFD_THREAD
#define PIDFD_THREAD O_EXCL
#endif

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fputs("usage: old_kernel COMMAND [ARGUMENT...]\n", stderr);
    return 2;
  }
  scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ALLOW);
  if (!filter ||
      seccomp_rule_add(filter, SCMP_ACT_ERRNO(EINVAL), SCMP_SYS(pidfd_open), 1,
                       SCMP_A1(SCMP_CMP_MASKED_EQ, PIDFD_THREAD, PIDFD_THREAD)) != 0 ||
      seccomp_load(filter) != 0) {
    std::fputs("old_kernel: the seccomp filter could not be loaded\n", stderr);
    return 2;
  }
  seccomp_release(filter);
  execvp(argv[1], argv + 1);
  std::fprintf(stderr, "old_kernel: %s: %s\n", argv[1], std::strerror(errno));
  return 127;
}
