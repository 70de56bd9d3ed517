#pragma once
// The engine's usual helper macros, for code written in its style.

#include <functional>

#include "engine/base/Create.h"

// Binds a member function to `target` as a callback taking N arguments.
#define CC_CALLBACK_0(fn, target, ...) std::bind(&fn, target, ##__VA_ARGS__)
#define CC_CALLBACK_1(fn, target, ...) std::bind(&fn, target, std::placeholders::_1, ##__VA_ARGS__)
#define CC_CALLBACK_2(fn, target, ...) \
    std::bind(&fn, target, std::placeholders::_1, std::placeholders::_2, ##__VA_ARGS__)
#define CC_CALLBACK_3(fn, target, ...)                                                          \
    std::bind(&fn, target, std::placeholders::_1, std::placeholders::_2, std::placeholders::_3, \
              ##__VA_ARGS__)

// A member function `void f(float)` as a schedule selector (see Node::schedule).
#define CC_SCHEDULE_SELECTOR(selector) static_cast<engine::SEL_SCHEDULE>(&selector)
#define schedule_selector(selector) CC_SCHEDULE_SELECTOR(selector)

// A static create() in the two-phase style: construct, init(), autorelease; null on failure.
#define CREATE_FUNC(__TYPE__)                              \
    static __TYPE__* create() {                            \
        return engine::createAutoreleased(new __TYPE__()); \
    }

#define CC_REPEAT_FOREVER (0xfffffffe)
