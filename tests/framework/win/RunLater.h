#pragma once

#include <functional>

// Runs action on the window thread after delayMs, from inside whatever message loop is running
// (a modal loop included).
void RunLater(unsigned delayMs, std::function<void()> action);

// Drops every action still waiting. The test main calls it after each test: a guard or a look at a
// test's locals left pending must not run inside the next test.
void CancelPendingActions();
