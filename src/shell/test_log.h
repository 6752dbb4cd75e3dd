#pragma once

#include <QString>

// For the tests that drive the real executable: when the environment variable
// NERIDAL_TEST_LOG names a file, the shell appends one line per event to it
// ("open PATH", "raise", "about"). Without the variable nothing is written.
void TestLog(const QString& line);
