#pragma once
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>

#include <cstdio>
#include <string>

#include "x11/x11_view.h"

// An Xvfb server for one test, on a free display it picks itself (-displayfd), so that tests starting
// together never share one; stopped by its pid. name is empty when it did not start.
struct Xvfb {
    // screen: "WIDTHxHEIGHTxDEPTH". Open to every local user (-ac), as the daemon runs its programs as another.
    explicit Xvfb(const std::string& screen)
        : out(popen(("echo $$; exec Xvfb -displayfd 1 -nolisten tcp -ac -screen 0 " + screen + " 2>/dev/null").c_str(), "re"))
    {
        // Its pid, then the display number once it accepts connections.
        int number = -1;
        if (out && std::fscanf(out, "%d %d", &pid, &number) == 2) name = ":" + std::to_string(number);
    }
    ~Xvfb()
    {
        if (pid > 0) kill(pid, SIGTERM);
        if (out) pclose(out);
    }

    std::FILE* const out;
    pid_t pid = 0;
    std::string name;
};
