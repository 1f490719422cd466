#pragma once

#include <cstdint>
#include <functional>

// Millisecond tick counter: unsigned 32-bit and wrapping, so differences are taken as uint32_t.
// Code that measures time takes a TickCounter so that tests can drive a fake one.
using TickCounter = std::function<std::uint32_t()>;

std::uint32_t SystemTickCount();
