#pragma once

#include <QString>

// Where the shared test data and the build's own outputs are.
inline QString sharedDir() { return QStringLiteral(NERIDAL_SHARED_DIR); }
inline QString binaryDir() { return QStringLiteral(NERIDAL_BINARY_DIR); }
inline QString sourceDir() { return QStringLiteral(NERIDAL_SOURCE_DIR); }
