// Start-up failure box for X11: standard error always, then an xmessage
// window when a display is reachable, so a player who started the game from
// a desktop sees why it did not start.
#include "platform/message_box.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

volatile int message_box_end_requested = 0;

static int display_present(void)
{
    const char *display = getenv("DISPLAY");
    return display != nullptr && display[0] != '\0';
}

void platform_message_box(const char *title, const char *text)
{
    fprintf(stderr, "%s\n%s\n", title, text);
    fflush(stderr);
    if (!display_present()) {
        return;
    }
    // xmessage blocks until its OK button (or Return) closes it; a missing
    // xmessage simply fails to spawn and the standard error text stands.
    char arg0[] = "xmessage";
    char arg_title[] = "-title";
    char arg_center[] = "-center";
    char arg_default[] = "-default";
    char arg_okay[] = "okay";
    char *argv[] = {arg0,        arg_title, const_cast<char *>(title), arg_center,
                    arg_default, arg_okay,  const_cast<char *>(text),  nullptr};
    pid_t pid;
    if (posix_spawnp(&pid, "xmessage", nullptr, nullptr, argv, environ) != 0) {
        return;
    }
    // A request to end (its signal interrupts the wait) closes the box, and
    // the program goes on to its teardown. Other signals only interrupt.
    int status;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno == EINTR && message_box_end_requested) {
            kill(pid, SIGTERM);
        }
    }
}
