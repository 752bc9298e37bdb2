// One QApplication for every GUI and report test, on the offscreen platform unless the
// caller chose another.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>

#include "data/dataset.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // A private runtime folder keeps Qt from warning about a missing one.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid()) {
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    QApplication app(argc, argv);
    // Searches know their whole result at once, as on a small catalogue
    // however slow the machine; the tests of keys arriving later set their own.
    kmx::data::DataSet::setOpenBudget(std::chrono::hours(1));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
