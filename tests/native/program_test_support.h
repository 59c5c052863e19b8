// What the X11 and the Wayland program tests share: the program run as its users run it, and its screenshots.
#pragma once
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using Clock = std::chrono::steady_clock;

inline bool Within(double seconds, const std::function<bool()>& check, int pollMs = 20)
{
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    for (; !check(); std::this_thread::sleep_for(std::chrono::milliseconds(pollMs)))
        if (Clock::now() > end) return false;
    return true;
}

// Where a screenshot shows pins (every component 170 to 229; a screen without a board is darker grey).
struct Shot {
    int width = 0, height = 0;
    std::vector<bool> pin;
    void Add(unsigned red, unsigned green, unsigned blue) { pin.push_back(red - 170 < 60 && green - 170 < 60 && blue - 170 < 60); }
    bool At(int x, int y) const { return pin[size_t(y) * size_t(width) + size_t(x)]; }
    long Pins() const { return std::count(pin.begin(), pin.end(), true); }
    bool Board() const { return Pins() > 300; }
    // The share of these pins' pixels that are pins in the other shot too: low for another scene.
    double Overlap(const Shot& other) const
    {
        long same = 0;
        for (int y = 0; y < std::min(height, other.height); ++y)
            for (int x = 0; x < std::min(width, other.width); ++x) same += At(x, y) && other.At(x, y);
        return Board() ? double(same) / double(Pins()) : 0;
    }
    // The share of the pins' pixels whose mirror image about the column edge at axis is a pin too.
    double MirroredAbout(int axis) const
    {
        long mirrored = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0, m = 2 * axis - 1; x < width; ++x, --m) mirrored += At(x, y) && m >= 0 && m < width && At(m, y);
        return Board() ? double(mirrored) / double(Pins()) : 0;
    }
};

// A folder of the test's own, removed with all it holds; its path is empty when none could be made.
struct Folder {
    std::string path = [] { char name[] = "/tmp/velloransaver.XXXXXX"; return std::string(mkdtemp(name) ? name : ""); }();
    ~Folder() { if (!path.empty()) std::filesystem::remove_all(path); }
};

// The program (or what runs in its place) in a session of its own, stopped as a whole, as is the one before.
struct Run {
    bool Start(const std::string& command)
    {
        Stop();
        out = popen(("echo $$; " + command + " 2>&1").c_str(), "re");
        char line[32];
        return out && std::fgets(line, sizeof line, out) && (pid = std::atoi(line)) > 0;
    }
    void Stop()
    {
        if (pid > 0) kill(-pid, SIGKILL), waitpid(pid, nullptr, 0);
        if (out) pclose(out);
        pid = 0, out = nullptr;
    }
    ~Run() { Stop(); }
    // How it ended, within seconds, on a line ("exit 0", "signal 15"), then what it said; or "running".
    std::string Ended(double seconds)
    {
        int status = -1;
        if (!Within(seconds, [&] { return waitpid(pid, &status, WNOHANG) == pid; })) return "running";
        pid = 0;
        std::string said = WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status)) + "\n"
                                             : "signal " + std::to_string(WTERMSIG(status)) + "\n";
        for (char line[1024]; std::fgets(line, sizeof line, out);) said += line;
        return said;
    }

    std::FILE* out = nullptr;
    pid_t pid = 0;
};
