#include "engine/scene/Scheduler.h"

#include <algorithm>

#include "engine/base/Macros.h"

namespace engine {

namespace {
// Sums of 1/60 s frames land a hair below a whole interval; this much short still counts.
constexpr double kTolerance = 1e-6;
}  // namespace

std::shared_ptr<Scheduler::Timer> Scheduler::find(const std::string& key,
                                                  const void* target) const {
    for (const auto& timer : m_timers) {
        if (!timer->cancelled && timer->target == target && timer->key == key) {
            return timer;
        }
    }
    return nullptr;
}

void Scheduler::schedule(const Callback& callback, const void* target, float interval,
                         unsigned repeat, float delay, bool paused, const std::string& key) {
    if (auto existing = find(key, target)) {
        existing->interval = std::max(0.0f, interval);
        existing->repeat = repeat;
        existing->delay = delay;
        return;
    }
    auto timer = std::make_shared<Timer>();
    timer->callback = callback;
    timer->target = target;
    timer->key = key;
    timer->interval = std::max(0.0f, interval);
    timer->delay = std::max(0.0f, delay);
    timer->inDelay = delay > 0;
    timer->repeat = repeat;
    timer->paused = paused;
    m_timers.push_back(std::move(timer));
}

void Scheduler::unschedule(const std::string& key, const void* target) {
    if (auto timer = find(key, target)) {
        timer->cancelled = true;
    }
}

void Scheduler::unscheduleAllForTarget(const void* target) {
    for (const auto& timer : m_timers) {
        if (timer->target == target) {
            timer->cancelled = true;
        }
    }
}

bool Scheduler::isScheduled(const std::string& key, const void* target) const {
    return find(key, target) != nullptr;
}

void Scheduler::pauseTarget(const void* target) {
    for (const auto& timer : m_timers) {
        if (timer->target == target) {
            timer->paused = true;
        }
    }
}

void Scheduler::resumeTarget(const void* target) {
    for (const auto& timer : m_timers) {
        if (timer->target == target) {
            timer->paused = false;
        }
    }
}

void Scheduler::update(float dt) {
    // A snapshot: callbacks may add and cancel timers; the shared pointers keep each alive.
    const std::vector<std::shared_ptr<Timer>> timers = m_timers;
    for (const auto& timer : timers) {
        if (timer->cancelled || timer->paused) {
            continue;
        }
        timer->elapsed += dt;
        const double threshold = timer->inDelay ? timer->delay : timer->interval;
        if (timer->elapsed + kTolerance < threshold) {
            continue;
        }
        const float passed = static_cast<float>(timer->elapsed);
        // The remainder counts toward the next interval, unless the frame came more than a
        // whole interval late (a stall): then the missed calls are dropped, not made up.
        timer->elapsed = std::max(0.0, timer->elapsed - threshold);
        if (timer->elapsed + kTolerance >= timer->interval) {
            timer->elapsed = 0;
        }
        timer->inDelay = false;
        ++timer->timesExecuted;
        if (timer->repeat != CC_REPEAT_FOREVER && timer->timesExecuted > timer->repeat) {
            timer->cancelled = true;  // before the call, which may schedule the key again
        }
        timer->callback(passed);
    }
    m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(),
                                  [](const auto& timer) { return timer->cancelled; }),
                   m_timers.end());
}

double Scheduler::secondsUntilNextTimer() const {
    double best = -1;
    for (const auto& timer : m_timers) {
        if (timer->cancelled || timer->paused) {
            continue;
        }
        const double due = std::max(0.0, timer->dueIn());
        if (best < 0 || due < best) {
            best = due;
        }
    }
    return best;
}

}  // namespace engine
