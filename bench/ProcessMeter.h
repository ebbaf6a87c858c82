#pragma once

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace tidewell::bench {

// What this process spent between Start() and Stop(): wall time, CPU time of
// all its threads (user + system), and how far its resident memory rose above
// what it was at the start (the peak, from the kernel's high-water mark, reset
// at the start).
class ProcessMeter {
public:
    void Start() {
        // "5" resets the peak resident size to the current one (Linux 4.0 on);
        // without it the growth reads high, never low.
        std::ofstream("/proc/self/clear_refs") << "5";
        startRssKb_ = StatusKb("VmRSS:");
        startCpu_ = CpuSeconds();
        start_ = std::chrono::steady_clock::now();
    }

    void Stop() {
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start_;
        seconds_ = took.count();
        cpuSeconds_ = CpuSeconds() - startCpu_;
        rssGrowthMb_ = static_cast<double>(StatusKb("VmHWM:") - startRssKb_) / 1024.0;
    }

    double Seconds() const { return seconds_; }
    double CpuSecondsUsed() const { return cpuSeconds_; }
    double RssGrowthMb() const { return rssGrowthMb_; }

private:
    static double CpuSeconds() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
        return seconds(usage.ru_utime) + seconds(usage.ru_stime);
    }

    // A "Name:   1234 kB" line of /proc/self/status; 0 when missing.
    static long StatusKb(const std::string& name) {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with(name)) {
                long kb = 0;
                std::istringstream(line.substr(name.size())) >> kb;
                return kb;
            }
        }
        return 0;
    }

    std::chrono::steady_clock::time_point start_;
    double startCpu_ = 0;
    long startRssKb_ = 0;
    double seconds_ = 0;
    double cpuSeconds_ = 0;
    double rssGrowthMb_ = 0;
};

} // namespace tidewell::bench
