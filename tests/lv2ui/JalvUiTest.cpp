// The panel in a real host: jalv's GTK front end loads the bundle, embeds
// the UI through suil, hands it the ports' values and takes its writes, on a
// private JACK server of dummy hardware. Skipped where jalv, jackd or a
// bundle with the plug-in is missing.
#include <gtest/gtest.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "editor/PanelLayout.h"
#include "UiHost.h"

extern char** environ;

namespace {

using ka813::paneltest::waitFor;

std::string bundleDir() {
    const char* dir = std::getenv("KA813_LV2_BUNDLE");
    return dir ? dir : KA813_LV2_BUNDLE_DIR;
}

bool onPath(const char* program) {
    const std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// A program of ours, stopped and reaped when it goes out of scope.
class Child {
public:
    explicit Child(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            pid = 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() {
        if (pid <= 0)
            return;
        kill(pid, SIGTERM);
        int status = 0;
        if (!waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, {}, 3000)) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
    }
    bool running() const { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; }

private:
    pid_t pid = 0;
};

// The host's windows come and go under us: an error about one is no failure.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

// The panel's window on screen: named as the platform names it, of the panel's size.
::Window findPanel(Display* display, ::Window window, int width, int height) {
    XWindowAttributes attributes{};
    char* name = nullptr;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.width == width &&
        attributes.height == height && attributes.map_state == IsViewable &&
        XFetchName(display, window, &name) && name) {
        const bool ours = std::strcmp(name, "Window") == 0;
        XFree(name);
        if (ours)
            return window;
    }
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ::Window found = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i)
            found = findPanel(display, children[i], width, height);
        if (children)
            XFree(children);
    }
    return found;
}

TEST(JalvShowsThePanel, WithTheHostsValuesAndTakesItsClicks) {
    const std::string bundle = bundleDir();
    if (access((bundle + "/manifest.ttl").c_str(), R_OK) != 0)
        GTEST_SKIP() << "no bundle description in " << bundle;
    if (!onPath("jalv.gtk3") || !onPath("jackd") || !onPath("jack_wait"))
        GTEST_SKIP() << "jalv.gtk3 or jackd is not installed";
    ka813::paneltest::TestDisplay display;
    ASSERT_TRUE(display.ok());
    const XErrorHandler previous = XSetErrorHandler(ignoreErrors);

    // One name for each build tree: JACK keeps a few server slots across
    // runs, and a name used before takes its old slot again.
    const std::string server =
        "ka813-ui-" + std::to_string(std::hash<std::string>()(bundle) % 100000000);
    setenv("JACK_NO_START_SERVER", "1", 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
    setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
    setenv("LV2_PATH", bundle.substr(0, bundle.rfind('/')).c_str(), 1);
    setenv("GDK_SCALE", "1", 1);
    Child jackd({"jackd", "--no-realtime", "-n", server, "-d", "dummy", "-r", "48000", "-p", "256"});
    ASSERT_EQ(std::system(("jack_wait -w -t 10 -s " + server + " >/dev/null 2>&1").c_str()), 0);

    // Channel A clean plays; its drive and crunch's differ.
    Child jalv({"jalv.gtk3", "-c", "a_clean_drive=0.905", "-c", "a_crunch_drive=0.105",
                "urn:ka813:preamp"});
    ::Window panel = 0;
    ASSERT_TRUE(waitFor([&] {
        panel = findPanel(display.get(), DefaultRootWindow(display.get()), 720, 280);
        return panel != 0;
    }, {}, 10000)) << "jalv showed no panel";
    EXPECT_TRUE(waitFor([&] { return ka813::lv2uitest::shownImage(display, panel, ka813::kTagDriveA) == 90; }));

    // A click on the mode switch: the drive knob shows crunch's port.
    int x = 0, y = 0;
    ::Window ignored;
    XTranslateCoordinates(display.get(), panel, DefaultRootWindow(display.get()), 0, 0, &x, &y,
                          &ignored);
    const ka813::PanelControl& toggle = *ka813::panelControl(ka813::kTagCleanCrunch);
    display.movePointer(x + toggle.left + 10, y + toggle.top + 10);
    display.button(1, true);
    display.button(1, false);
    EXPECT_TRUE(waitFor([&] { return ka813::lv2uitest::shownImage(display, panel, ka813::kTagCleanCrunch) == 1; }));
    EXPECT_TRUE(waitFor([&] { return ka813::lv2uitest::shownImage(display, panel, ka813::kTagDriveA) == 10; }));
    EXPECT_TRUE(jalv.running());
    XSetErrorHandler(previous);
}

}  // namespace
