#include "framework/widgets/program_end.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace {

// The signal handler may only write to a pipe; the user-interface thread
// reads it through a socket notifier and ends the program there.
int g_endPipe[2] = {-1, -1};

void OnEndSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_endPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

void EndProgramOnSignals(QObject* owner)
{
    if (g_endPipe[0] >= 0 || ::pipe2(g_endPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_endPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char bytes[16];
        while (::read(g_endPipe[0], bytes, sizeof bytes) > 0) {
        }
        EndProgram();
    });
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(number, &action, nullptr);
}
