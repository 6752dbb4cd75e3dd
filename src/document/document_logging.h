#pragma once

// What the album reading code logs where a user cannot see it.

#include <QLoggingCategory>

// Streams that the one-call inflate leaves to the streaming reader: damaged
// ones, and any that are simply slower to read than they should be.
Q_DECLARE_LOGGING_CATEGORY(lcInflate)
// Albums read although their producer wrote them irregularly, and albums
// opened with a damaged body.
Q_DECLARE_LOGGING_CATEGORY(lcLenient)
