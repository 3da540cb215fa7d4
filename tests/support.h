#pragma once
// The window over a temporary program folder and game folder, and the message boxes it opens.

#include "app/frmmain.h"

#include <QtTest>
#include <QtWidgets>

// A message box as "icon|title|text|buttons".
inline const QString refusal = "1||Please Set GTA3 Peds Group File First|OK";
inline const QString incorrectPath =
    "3|Error|Error! Incorrect Path. Please Correct This Problem.|OK";
inline const QByteArray gameBytes =
    QByteArray("MALE01, FEMALE01\r\n").repeated(300); // > any preset

// One row of a data table: its name, then a value for each column.
template <class... Values> void row(const char *name, const Values &...values)
{
    (QTest::newRow(name) << ... << values);
}

// The bytes of a regular file; a null array for anything else, a FIFO too.
inline QByteArray read(const QString &path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll().append("")
                                                                      : QByteArray();
}

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

// A folder as "name=content, ...": the content is "game" for the game's own bytes, a preset's
// label, or the text itself; a folder's name ends in "/", anything else's in "|".
inline QString describe(const QString &folder)
{
    QStringList entries;
    for (const QFileInfo &entry :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString bytes = read(entry.filePath()),
                      preset = bytes.section('\r', 0, 0).section("preset: ", 1);
        entries << entry.fileName() + (entry.isDir()     ? "/"
                                       : !entry.isFile() ? "|"
                                       : bytes == gameBytes
                                           ? "=game"
                                           : "=" + (preset.isEmpty() ? bytes : preset));
    }
    return entries.join(", ");
}

struct Fixture
{
    QTemporaryDir programDir, gameDir;
    // Written the system's way, as a player types them, without a trailing separator.
    const QString program = QDir::toNativeSeparators(programDir.path()), sep = QDir::separator();
    const QString data = QDir::toNativeSeparators(gameDir.path()),
                  settingFile = program + "/configs/path/config.cfg";
    std::unique_ptr<frmmain> window;

    Fixture()
    {
        for (const QString &name : QDir(":/configs").entryList())
            write(program + "/configs/" + name, read(":/configs/" + name));
        QDir().mkpath(program + "/configs/path");
    }

    // Lays out the data folder from "name=content" entries, "game" standing for the game's
    // bytes, then opens the window over `stored` as the setting file, or over none.
    void open(const QByteArray &stored = {}, const QString &folder = "")
    {
        for (const QString &entry : folder.split(", ", Qt::SkipEmptyParts))
            QVERIFY(
                entry.endsWith('/')
                    ? QDir().mkpath(data + "/" + entry)
                    : write(data + "/" + entry.section('=', 0, 0),
                            entry.endsWith("=game") ? gameBytes : entry.section('=', 1).toUtf8()));
        QVERIFY(stored.isNull() || write(settingFile, stored));
        window = std::make_unique<frmmain>(program);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    template <class T = QWidget> T *get(const char *name) { return window->findChild<T *>(name); }
    QString status() { return get<QLabel>("Status")->text(); }
    // "Saved" or "Save", with a "*" while it can be clicked.
    QString saveState()
    {
        return get<QPushButton>("save")->text() + (get("save")->isEnabled() ? "*" : "");
    }

    // Clicks the button and answers the message box it opens; returns what the box showed.
    QString click(const char *button)
    {
        QString shown = "?";
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            const bool ok =
                box && box->buttons().size() == 1 && box->standardButtons() == QMessageBox::Ok;
            shown =
                box ? QString("%1|%2|%3|").arg(box->icon()).arg(box->windowTitle(), box->text()) +
                          (ok ? "OK" : "")
                    : "";
            if (box)
                box->buttons().first()->click();
        });
        QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton);
        while (shown == "?")
            QCoreApplication::processEvents();
        return shown;
    }
};
