#include "app/frmmain.h"
#include "pedgroups/catalogue.h"
#include "pedgroups/install.h"
#include "support.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using support::control;

namespace {
const QByteArray gameBytes("# the game's own groups\r\nMALE01 MALE01 MALE01 MALE01\r\n");
}

class tst_install : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> programDir;
    std::unique_ptr<QTemporaryDir> gameDir;
    std::unique_ptr<frmmain> window;
    QString program;
    QString data; // the game's data folder, as saved: with a trailing separator
    QString target;

    // The window in the folder-saved state over the game's data folder.
    void openSaved()
    {
        support::writeFile(support::settingFile(program), data.toLocal8Bit() + "\r\n");
        window.reset(support::showWindow(program));
    }

    QString status() const { return control<QLabel>(window.get(), "Status")->text(); }

    void choose(const QString &label)
    {
        auto *List1 = control<QComboBox>(window.get(), "List1");
        List1->setCurrentIndex(List1->findText(label));
        QCOMPARE(List1->currentText(), label);
    }

    void type(const QString &text)
    {
        QLineEdit *field = control<QComboBox>(window.get(), "List1")->lineEdit();
        field->clear();
        QTest::keyClicks(field, text);
    }

    support::Message clickInstall()
    {
        return support::answerMessage([this] {
            QTest::mouseClick(control<QPushButton>(window.get(), "install"), Qt::LeftButton);
        });
    }

private slots:
    void init()
    {
        programDir = std::make_unique<QTemporaryDir>();
        gameDir = std::make_unique<QTemporaryDir>();
        program = programDir->path();
        data = gameDir->path() + "/";
        target = data + "pedgrp.dat";
        support::makeProgramFolder(program);
        support::writeFile(target, gameBytes);
    }

    void cleanup() { window.reset(); }

    void refusedWhileNoFolderIsSaved_data()
    {
        QTest::addColumn<bool>("editAfterSave");
        QTest::newRow("first run") << false;
        QTest::newRow("folder edited after saving") << true;
    }

    void refusedWhileNoFolderIsSaved()
    {
        QFETCH(bool, editAfterSave);
        if (editAfterSave) {
            openSaved();
            QTest::keyClick(control<QLineEdit>(window.get(), "text1"), Qt::Key_Backspace);
            QCOMPARE(window->activeDataFolder(), data); // still a good folder, yet refused
        } else {
            window.reset(support::showWindow(program));
        }
        const QString before = status();

        const support::Message message = clickInstall();
        QVERIFY(message.shown);
        QCOMPARE(message.text, "Please Set GTA3 Peds Group File First");
        QCOMPARE(message.title, QString());
        QCOMPARE(message.icon, QMessageBox::Information);
        QCOMPARE(message.buttons, QMessageBox::Ok);
        QCOMPARE(message.buttonCount, 1);
        QCOMPARE(support::readFile(target), gameBytes);
        QCOMPARE(status(), before);
    }

    void installsTheGroupTheListNames_data()
    {
        QTest::addColumn<bool>("typed"); // else chosen from the list
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("preset");
        QTest::newRow("chosen, file named unlike its label") << false << "Gangs"
                                                             << "Gangs"
                                                             << "gang war.dat";
        QTest::newRow("chosen, first entry") << false << "Default Peds"
                                             << "Default Peds"
                                             << "original.dat";
        QTest::newRow("chosen, last entry") << false << "Workers"
                                            << "Workers"
                                            << "workers.dat";
        QTest::newRow("typed in full") << true << "Italians"
                                       << "Italians"
                                       << "italians.dat";
        QTest::newRow("typed, wrong case") << true << "gangs"
                                           << "Default Peds"
                                           << "original.dat";
        QTest::newRow("typed, trailing blank") << true << "Gangs "
                                               << "Default Peds"
                                               << "original.dat";
        QTest::newRow("typed, no such group") << true << "Aliens"
                                              << "Default Peds"
                                              << "original.dat";
    }

    void installsTheGroupTheListNames()
    {
        QFETCH(bool, typed);
        QFETCH(QString, text);
        QFETCH(QString, label);
        QFETCH(QString, preset);
        openSaved();
        if (typed) {
            type(text);
            // Alt+I is the button's access key; it clicks the button a moment later.
            QTest::keyClick(window.get(), Qt::Key_I, Qt::AltModifier);
        } else {
            choose(text);
            QVERIFY(!clickInstall().shown);
        }
        QTRY_COMPARE(status(), "'" + label + "' Installed");
        QCOMPARE(support::readFile(target), support::readFile(program + "/configs/" + preset));
        QCOMPARE(support::entries(data), QStringList{"pedgrp.dat"});
        QCOMPARE(control<QComboBox>(window.get(), "List1")->currentText(), text);
    }

    void failuresEndSilentlyAndChangeNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("preset missing") << "preset";
        QTest::newRow("data folder gone") << "folder";
        QTest::newRow("a folder where the game file should be") << "directory";
        QTest::newRow("a FIFO where the game file should be") << "fifo";
        QTest::newRow("a dangling link where the game file should be") << "dangling";
        QTest::newRow("a read-only game file") << "read-only";
        // Were the path cut at the NUL, it would name the game file itself.
        QTest::newRow("a NUL in the saved folder") << "nul";
    }

    void failuresEndSilentlyAndChangeNothing()
    {
        QFETCH(QString, fault);
        openSaved();
        const QString before = status();
        if (fault == "preset") {
            QVERIFY(QFile::remove(program + "/configs/gang war.dat"));
        } else if (fault == "folder") {
            QVERIFY(gameDir->remove());
        } else if (fault == "directory") {
            QVERIFY(QFile::remove(target) && QDir().mkdir(target));
        } else if (fault == "fifo") {
            QVERIFY(QFile::remove(target));
            QVERIFY(mkfifo(QFile::encodeName(target).constData(), 0600) == 0);
        } else if (fault == "dangling") {
            QVERIFY(QFile::remove(target) && QFile::link(data + "gone.dat", target));
        } else if (fault == "nul") {
            support::writeFile(support::settingFile(program),
                               (target + QChar(0)).toLocal8Bit() + "\r\n");
            window.reset(support::showWindow(program));
            QCOMPARE(window->activeDataFolder(), target + QChar(0));
        } else {
            QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadUser |
                                                      QFileDevice::ReadOther));
        }
        const QStringList entriesBefore = support::entries(data);
        const QFileDevice::Permissions permissionsBefore = QFile::permissions(target);
        // Reading a FIFO would wait for a writer.
        const QByteArray bytesBefore = fault == "fifo" ? QByteArray() : support::readFile(target);

        choose("Gangs");
        QVERIFY(!clickInstall().shown);
        QCOMPARE(status(), before);
        QCOMPARE(support::entries(data), entriesBefore);
        if (fault != "fifo")
            QCOMPARE(support::readFile(target), bytesBefore);
        QCOMPARE(QFile::permissions(target), permissionsBefore);
        if (fault == "folder")
            QVERIFY(!QFileInfo::exists(data));
        if (fault == "dangling")
            QVERIFY(!QFileInfo::exists(data + "gone.dat"));
    }

    void interruptedWriteLeavesTheGameFileWhole_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("survive");
        for (const QString &label : catalogue::labels()) {
            QTest::newRow(qPrintable(label + ", write fails")) << label << true;
            QTest::newRow(qPrintable(label + ", process killed")) << label << false;
        }
    }

    // The file-size limit stops the copy half-way through the preset.
    void interruptedWriteLeavesTheGameFileWhole()
    {
        QFETCH(QString, label);
        QFETCH(bool, survive);
        const QString preset = catalogue::presetPath(program, catalogue::lookup(label));
        const long half = long(QFileInfo(preset).size() / 2);
        QVERIFY(half > gameBytes.size());
        const int code = support::inChildWithFileSizeLimit(
            half, survive, [&] { return pedgroups::installPreset(preset, target); });
        QCOMPARE(code, survive ? 1 : -1);
        QCOMPARE(support::readFile(target), gameBytes);
        QCOMPARE(support::entries(data), QStringList{"pedgrp.dat"});
    }

    void replacedFileKeepsItsPermissions()
    {
        const QFileDevice::Permissions permissions =
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
            QFileDevice::WriteGroup | QFileDevice::ReadOther;
        QVERIFY(QFile::setPermissions(target, permissions));
        QVERIFY(pedgroups::installPreset(program + "/configs/scum.dat", target));
        QCOMPARE(support::readFile(target), support::readFile(program + "/configs/scum.dat"));
        QCOMPARE(QFile::permissions(target) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 permissions);
    }

    void linkedGameFileStaysALinkAndItsTargetIsReplaced()
    {
        QTemporaryDir elsewhere;
        const QString real = elsewhere.filePath("pedgrp.dat");
        QVERIFY(QFile::rename(target, real));
        QVERIFY(QFile::link(real, target));
        openSaved();
        choose("Pimps");
        clickInstall();
        QVERIFY(QFileInfo(target).isSymLink());
        QCOMPARE(support::readFile(real), support::readFile(program + "/configs/pimps.dat"));
        QCOMPARE(support::entries(elsewhere.path()), QStringList{"pedgrp.dat"});
    }

    void upperCaseGameFileIsTheOneReplaced()
    {
        QVERIFY(QFile::rename(target, data + "PEDGRP.DAT"));
        openSaved();
        choose("Swat Teams");
        clickInstall();
        QCOMPARE(support::entries(data), QStringList{"PEDGRP.DAT"});
        QCOMPARE(support::readFile(data + "PEDGRP.DAT"),
                 support::readFile(program + "/configs/swat teams.dat"));
        QCOMPARE(status(), "'Swat Teams' Installed");
    }

    void folderWithoutGameFileGetsOne()
    {
        QVERIFY(QFile::remove(target));
        QVERIFY(pedgroups::installPreset(program + "/configs/docs and meds.dat", target));
        QCOMPARE(support::entries(data), QStringList{"pedgrp.dat"});
    }

    void folderThatTakesNoNewFileIsWrittenStraightOntoTheGameFile()
    {
        const QString preset = program + "/configs/criminals.dat";
        constexpr auto readable = QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                  QFileDevice::ReadOther | QFileDevice::ExeOwner |
                                  QFileDevice::ExeGroup | QFileDevice::ExeOther;
        QVERIFY(QFile::setPermissions(program, readable | QFileDevice::WriteOwner));
        QVERIFY(QFile::setPermissions(gameDir->path(), readable));
        QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadOther |
                                                  QFileDevice::WriteOther));
        // Root may make files in any folder, so the install runs as nobody there.
        const int code = support::inChild([&] {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                return false;
            return pedgroups::installPreset(preset, target);
        });
        QVERIFY(QFile::setPermissions(gameDir->path(), readable | QFileDevice::WriteOwner));
        QCOMPARE(code, 0);
        QCOMPARE(support::readFile(target), support::readFile(preset));
        QCOMPARE(support::entries(data), QStringList{"pedgrp.dat"});
    }
};

QTEST_MAIN(tst_install)
#include "tst_install.moc"
