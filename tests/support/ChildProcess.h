#pragma once

#if defined(__unix__)

#include <cstddef>
#include <filesystem>
#include <functional>

namespace kv::test {

// What a body run by RunInChild returns when the system cannot give it what
// it needs (another user, a small disk): the test is then skipped.
inline constexpr int kChildCannotRun = 77;

// Runs body in a forked copy of the test and returns what it returned (1
// when the copy died), so that it may change the process (its user, its
// mounts) without touching the test program. The body reports its own
// failures on standard error.
int RunInChild(const std::function<int()>& body);

// In a child: leaves root for an ordinary user, so that file permissions
// apply to what follows. True when it runs as an ordinary user now.
bool RunAsOrdinaryUser();

// In a child: mounts a new in-memory disk of the given size at folder, in a
// mount namespace of its own so that nothing outside the child sees it.
// False where the system does not let a process do that.
bool MountSmallDisk(const std::filesystem::path& folder, std::size_t bytes);

} // namespace kv::test

#endif
