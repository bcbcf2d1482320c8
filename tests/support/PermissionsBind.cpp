#include "tests/support/PermissionsBind.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace trackmill::test {
namespace {

// Drops the overriding capabilities from this process. no_new_privs keeps a program started
// later from getting them back at exec, which root otherwise would.
bool DropPermissionOverrides() {
  if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return false;
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct sets[_LINUX_CAPABILITY_U32S_3]{};
  if (::syscall(SYS_capget, &header, sets) != 0) return false;
  for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
    ::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);  // best effort; no_new_privs suffices
    const auto mask = ~static_cast<__u32>(CAP_TO_MASK(capability));
    __user_cap_data_struct& set = sets[CAP_TO_INDEX(capability)];
    set.effective &= mask;
    set.permitted &= mask;
    set.inheritable &= mask;
  }
  return ::syscall(SYS_capset, &header, sets) == 0;
}

}  // namespace

void RunWherePermissionsBind(const std::function<void()>& body) {
  if (::geteuid() != 0) {
    body();
    return;
  }
  std::fflush(nullptr);  // nothing buffered may be written twice
  const pid_t child = ::fork();
  ASSERT_GE(child, 0) << "fork failed";
  if (child == 0) {
    if (DropPermissionOverrides())
      body();
    else
      ADD_FAILURE() << "could not give up root's permission overrides (errno " << errno << ")";
    std::fflush(nullptr);
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);  // no exit handlers: they belong to the parent
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the part run where permissions bind failed (see its failures above)";
}

}  // namespace trackmill::test
