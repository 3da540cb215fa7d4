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

struct Fixture
{
    QTemporaryDir programDir, gameDir;
    // Written the system's way, as a player types them, without a trailing separator.
    const QString program = QDir::toNativeSeparators(programDir.path()), sep = QDir::separator();
    const QString data = QDir::toNativeSeparators(gameDir.path()), gameFile = data + "/pedgrp.dat";
    const QString settingFile = program + "/configs/path/config.cfg";
    std::unique_ptr<frmmain> window;

    Fixture()
    {
        for (const QString &name : QDir(":/configs").entryList())
            write(program + "/configs/" + name, read(":/configs/" + name));
        QDir().mkpath(program + "/configs/path");
    }

    // The window over `stored` as the setting file, or over none.
    void open(const QByteArray &stored = {})
    {
        QVERIFY(stored.isNull() || write(settingFile, stored));
        window = std::make_unique<frmmain>(program);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    template <class T = QWidget> T *get(const char *name) { return window->findChild<T *>(name); }
    // The folder text, the status line, and Save's caption with a "*" while it can be clicked.
    QString state()
    {
        const auto *save = get<QPushButton>("save");
        return get<QLineEdit>("text1")->text() + "|" + get<QLabel>("Status")->text() + "|" +
               save->text() + (save->isEnabled() ? "*" : "");
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
