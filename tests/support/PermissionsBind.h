#pragma once
#include <functional>

namespace trackmill::test {

// Runs body where file permissions bind, as they do for every user but the superuser, so a
// read-only file or folder really refuses the write. Unprivileged, body runs right here. As
// root, it runs in a forked child that has given up the capabilities that override permission
// bits, for itself and for every program it starts (root still owns the files it made, so
// their owner bits apply). The child's gtest failures are printed by the child, and the
// calling test fails with it. body must not rely on changes it makes to this process's memory.
void RunWherePermissionsBind(const std::function<void()>& body);

}  // namespace trackmill::test
