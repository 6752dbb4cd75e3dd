#pragma once

#include <QString>
#include <QTest>

// Where the shared test data and the build's own outputs are.
inline QString sharedDir() {
    return QStringLiteral(NERIDAL_SHARED_DIR);
}
inline QString binaryDir() {
    return QStringLiteral(NERIDAL_BINARY_DIR);
}
inline QString sourceDir() {
    return QStringLiteral(NERIDAL_SOURCE_DIR);
}

// Waits until `done` holds, at most `ms` milliseconds; use it inside
// EXPECT_TRUE or ASSERT_TRUE. (Qt's QTRY_ macros report to QTest, so under
// GoogleTest their failures would go unnoticed.)
template <typename Condition>
bool WaitUntil(Condition done, int ms = 5000) {
    return QTest::qWaitFor(done, ms);
}
