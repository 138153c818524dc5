// Widget tests run headless and never touch the user's own settings or files.
#include "platform/LargeTextMemory.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toLocal8Bit());
    // No manual pages unless a test brings its own.
    qputenv("MIREKA_MAN_DIR", (home.path() + "/man").toLocal8Bit());
    qputenv("MIREKA_PROGRAM_DIR", (home.path() + "/program").toLocal8Bit());
    // The program directory holds the data files that ship beside the program.
    QDir().mkpath(home.path() + "/program");
    const QDir data(QStringLiteral(MIREKA_FIXTURES "/../../src/resources/data"));
    for (const QString& name : data.entryList(QDir::Files))
        QFile::copy(data.filePath(name), home.path() + "/program/" + name);
    mireka::UseHugePagesForLargeTexts(); // as the program does
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
