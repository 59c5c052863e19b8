#pragma once
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>

#include <cstdio>
#include <string>

#include "x11/x11_view.h"

// An Xvfb server for one test, on a free display it picks itself (-displayfd), so that tests starting
// together never share one; stopped by its pid. Name() is empty when it did not start.
class Xvfb {
public:
    // screen: "WIDTHxHEIGHTxDEPTH". Open to every local user (-ac), as the daemon runs its programs as another.
    explicit Xvfb(const std::string& screen)
        : out_(popen(("echo $$; exec Xvfb -displayfd 1 -nolisten tcp -ac -screen 0 " + screen + " 2>/dev/null").c_str(), "re"))
    {
        // Its pid, then the display number once it accepts connections.
        int number = -1;
        if (out_ && std::fscanf(out_, "%d %d", &pid_, &number) == 2) name_ = ":" + std::to_string(number);
    }
    ~Xvfb()
    {
        if (pid_ > 0) kill(pid_, SIGTERM);
        if (out_) pclose(out_);
    }
    const char* Name() const { return name_.c_str(); }

private:
    std::FILE* out_;
    pid_t pid_ = 0;
    std::string name_;
};
