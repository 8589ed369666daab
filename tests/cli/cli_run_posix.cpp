#include "cli/cli_run.h"

#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>

std::function<void()> ChildSetup(const CliRunOptions& options)
{
    const long long fileSizeLimit = options.fileSizeLimit;
    const int userId = options.userId;
    // Only async-signal-safe calls: this runs in the child before exec.
    return [fileSizeLimit, userId] {
        if (fileSizeLimit >= 0) {
            ::signal(SIGXFSZ, SIG_DFL);
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (userId >= 0) {
            const auto id = static_cast<uid_t>(userId);
            if (::setgroups(0, nullptr) != 0 || ::setgid(id) != 0 || ::setuid(id) != 0)
                ::_exit(126);
        }
    };
}
