#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <gtest/gtest.h>
#include <string>

namespace zr::test {

// A test that another test starts as a process of its own is put in a suite whose name ends in
// "Child". It runs only in such a process: the test mains leave these suites out everywhere else,
// so that neither the discovered tests nor a plain run list them as skipped.
inline constexpr const char* kChildSuites = "*Child.*";
// Set in the environment of a child process of a test program.
inline constexpr const char* kTestChildVariable = "ZR_TEST_CHILD";

// The environment a test starts a child of its own program with.
inline QProcessEnvironment childEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kTestChildVariable), QStringLiteral("1"));
    return environment;
}

// The gtest filter `filter` with the child suites left out: they join its negative patterns.
inline std::string withoutChildSuites(std::string filter) {
    filter += filter.find('-') == std::string::npos ? '-' : ':';
    return filter + kChildSuites;
}

// Called by the test mains after InitGoogleTest.
inline void leaveOutChildSuitesUnlessAChild() {
    if (!qEnvironmentVariableIsSet(kTestChildVariable)) {
        GTEST_FLAG_SET(filter, withoutChildSuites(GTEST_FLAG_GET(filter)));
    }
}

} // namespace zr::test
