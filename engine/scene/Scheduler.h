#pragma once
// Timers of the main loop, each under a (target, key) pair.
//
// A timer waits `delay` seconds (if given) and then `interval` seconds between calls; with
// interval 0 it runs every frame. It fires at most once per frame, once enough time has passed,
// and keeps the remainder for the next interval; after a stall longer than a whole interval the
// missed calls are dropped (one call, not a burst, and the next interval starts afresh). `repeat`
// further calls after the first, or CC_REPEAT_FOREVER. Paused targets' timers do not advance.
// Callbacks may schedule and unschedule anything, including themselves. Main thread only.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace engine {

class Scheduler {
public:
    using Callback = std::function<void(float)>;

    // Schedules, or when (target, key) exists, only updates interval, repeat and delay.
    void schedule(const Callback& callback, const void* target, float interval, unsigned repeat,
                  float delay, bool paused, const std::string& key);
    void unschedule(const std::string& key, const void* target);
    void unscheduleAllForTarget(const void* target);
    bool isScheduled(const std::string& key, const void* target) const;
    void pauseTarget(const void* target);
    void resumeTarget(const void* target);

    // Advances every running timer by `dt` seconds and fires those that are due.
    void update(float dt);
    // Seconds after the last update until the first running timer is due (0 when one already
    // is); a negative value when no timer runs.
    double secondsUntilNextTimer() const;

private:
    struct Timer {
        Callback callback;
        const void* target = nullptr;
        std::string key;
        double interval = 0;
        double delay = 0;
        double elapsed = 0;
        unsigned repeat = 0;
        unsigned timesExecuted = 0;
        bool inDelay = false;
        bool paused = false;
        bool cancelled = false;
        double dueIn() const { return (inDelay ? delay : interval) - elapsed; }
    };
    std::shared_ptr<Timer> find(const std::string& key, const void* target) const;

    std::vector<std::shared_ptr<Timer>> m_timers;
};

}  // namespace engine
