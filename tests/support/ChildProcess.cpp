#include "support/ChildProcess.h"

#if defined(__unix__)

#include <fstream>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kv::test {
namespace {

constexpr uid_t kNobody = 65534;

// A user namespace in which this process is root, for systems that let any
// user make one but not root make a mount namespace alone.
bool EnterOwnUserNamespace() {
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        return false;
    }
    std::ofstream("/proc/self/setgroups") << "deny";
    std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
    std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    return true;
}

} // namespace

int RunInChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return 1;
    }
    return WEXITSTATUS(status);
}

bool RunAsOrdinaryUser() {
    if (geteuid() != 0) {
        return true;
    }
    return setgid(kNobody) == 0 && setuid(kNobody) == 0 && geteuid() == kNobody;
}

bool MountSmallDisk(const std::filesystem::path& folder, std::size_t bytes) {
    if (unshare(CLONE_NEWNS) != 0 && !EnterOwnUserNamespace()) {
        return false;
    }
    const std::string options = "size=" + std::to_string(bytes);
    return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

} // namespace kv::test

#endif
