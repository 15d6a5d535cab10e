// End-to-end helpers. Each test runs the real binary from a copy of the game
// folder, so tests can break their copy's files without touching the build.
#include "e2e_support.h"

#include <X11/Xutil.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

std::string make_game_copy(void)
{
    char pattern[] = "/tmp/qm-e2e-XXXXXX";
    std::string dir = mkdtemp(pattern);
    fs::copy(QM_GAME_DIR, dir, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    return dir;
}

void remove_game_copy(const std::string &dir)
{
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

void set_zoom(const std::string &dir, int zoom)
{
    std::string path = dir + "/config.txt";
    std::string text = read_text(path);
    text = std::regex_replace(text, std::regex("\nzoom = [-0-9]+"),
                              "\nzoom = " + std::to_string(zoom));
    std::ofstream(path) << text;
}

std::string read_text(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

game_run start_game(const std::string &dir, const char *extra_env)
{
    const char *const argv[] = {"./quillmere", nullptr};
    return start_program(dir, argv, extra_env);
}

game_run start_program(const std::string &dir, const char *const argv[], const char *extra_env)
{
    game_run run;
    run.dir = dir;
    run.stderr_path = dir + "/stderr.txt";
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) {
            _exit(127);
        }
        freopen("stderr.txt", "w", stderr);
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "r", stdin);
        if (extra_env != nullptr) {
            putenv(const_cast<char *>(extra_env));
        }
        execv(argv[0], const_cast<char *const *>(argv));
        _exit(127);
    }
    run.pid = pid;
    return run;
}

void sleep_seconds(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

int wait_for_exit(game_run &run, double seconds, int *status)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        int st;
        if (waitpid(run.pid, &st, WNOHANG) == run.pid) {
            run.pid = -1;
            *status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            return 1;
        }
        sleep_seconds(0.02);
    }
    return 0;
}

void kill_game(game_run &run)
{
    if (run.pid > 0) {
        kill(run.pid, SIGKILL);
        waitpid(run.pid, nullptr, 0);
        run.pid = -1;
    }
}

Display *test_display(void)
{
    static Display *display = XOpenDisplay(nullptr);
    return display;
}

Window find_window(const char *name, double seconds)
{
    // xdotool's search waits for the window to be mapped with that title.
    char command[256];
    snprintf(command, sizeof command,
             "timeout %.1f xdotool search --sync --name '^%s$' 2>/dev/null", seconds, name);
    FILE *p = popen(command, "r");
    if (p == nullptr) {
        return 0;
    }
    unsigned long id = 0;
    if (fscanf(p, "%lu", &id) != 1) {
        id = 0;
    }
    pclose(p);
    return static_cast<Window>(id);
}

void window_rect(Window w, int *x, int *y, int *width, int *height)
{
    Display *d = test_display();
    XWindowAttributes attributes;
    XGetWindowAttributes(d, w, &attributes);
    Window child;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, x, y, &child);
    *width = attributes.width;
    *height = attributes.height;
}

static void xdotool(Window w, const char *verb, const char *name)
{
    char command[256];
    snprintf(command, sizeof command, "xdotool windowfocus %lu %s %s >/dev/null 2>&1",
             static_cast<unsigned long>(w), verb, name);
    // A key for a window that has just closed fails; that is no error here.
    int ignored = system(command);
    (void)ignored;
}

void key_script(Window w, const char *script)
{
    xdotool(w, script, "");
}

void tap_key(Window w, const char *name)
{
    xdotool(w, "keydown", name);
    sleep_seconds(0.15);
    xdotool(w, "keyup", name);
}

static XImage *grab(int x, int y, int w, int h)
{
    Display *d = test_display();
    return XGetImage(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(w),
                     static_cast<unsigned>(h), AllPlanes, ZPixmap);
}

static screen_rgb split(unsigned long p)
{
    return screen_rgb{static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
                      static_cast<int>(p & 0xff)};
}

screen_rgb screen_pixel(int x, int y)
{
    XImage *image = grab(x, y, 1, 1);
    screen_rgb c = split(XGetPixel(image, 0, 0));
    XDestroyImage(image);
    return c;
}

int count_colour(int x, int y, int w, int h, screen_rgb c)
{
    XImage *image = grab(x, y, w, h);
    int n = 0;
    for (int j = 0; j < h; j++) {
        for (int i = 0; i < w; i++) {
            screen_rgb p = split(XGetPixel(image, i, j));
            n += p.r == c.r && p.g == c.g && p.b == c.b;
        }
    }
    XDestroyImage(image);
    return n;
}

void save_screenshot(const char *name)
{
    fs::create_directories(QM_SHOT_DIR);
    char command[512];
    snprintf(command, sizeof command, "import -window root png:%s/%s.png >/dev/null 2>&1",
             QM_SHOT_DIR, name);
    if (system(command) != 0) {
        fprintf(stderr, "screenshot %s failed\n", name);
    }
}

void request_close(Window w)
{
    Display *d = test_display();
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = w;
    event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &event);
    XFlush(d);
}
