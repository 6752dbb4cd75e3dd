#pragma once

#include <functional>

// SIGTERM, SIGINT and SIGHUP (sent at logout and by the desktop's session end)
// do not kill the program outright: `close` runs on the user-interface thread,
// where it closes the main frame the ordinary way, so that the settings are
// written and the temporary copies deleted. A second such signal while the
// frame is closing ends the process at once.
void InstallTerminationHandler(std::function<void()> close);

// Test use: removes the handler again (the signals get their default action).
void RemoveTerminationHandler();
