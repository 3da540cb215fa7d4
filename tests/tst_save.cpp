#include "app/frmmain.h"
#include "support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

using support::control;

namespace {
const QString pathSet = QStringLiteral("Path Set. Please Select Your Peds");
const QString pleaseSet = QStringLiteral("Please Set The GTA3 Data Folder");
const QString incorrectPath = QStringLiteral("Error! Incorrect Path. Please Correct This Problem.");
} // namespace

class tst_save : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> programDir;
    std::unique_ptr<QTemporaryDir> gameDir;
    std::unique_ptr<frmmain> window;
    QString program;
    QString data; // the game's data folder as a user types it, without a trailing separator

    QLineEdit *text1() const { return control<QLineEdit>(window.get(), "text1"); }
    QPushButton *save() const { return control<QPushButton>(window.get(), "save"); }
    QString status() const { return control<QLabel>(window.get(), "Status")->text(); }

    void open() { window.reset(support::showWindow(program)); }

    void typeFolder(const QString &folder)
    {
        text1()->selectAll();
        QTest::keyClick(text1(), Qt::Key_Delete);
        QTest::keyClicks(text1(), folder);
        QCOMPARE(text1()->text(), folder);
    }

    support::Message clickSave()
    {
        return support::answerMessage([this] { QTest::mouseClick(save(), Qt::LeftButton); });
    }

    void verifySaved(bool saved)
    {
        QCOMPARE(save()->isEnabled(), !saved);
        QCOMPARE(save()->text(), saved ? "Saved" : "Save");
    }

    static void verifyError(const support::Message &message, const QString &text)
    {
        QVERIFY(message.shown);
        QCOMPARE(message.text, text);
        QCOMPARE(message.title, "Error");
        QCOMPARE(message.icon, QMessageBox::Critical);
        QCOMPARE(message.buttons, QMessageBox::Ok);
        QCOMPARE(message.buttonCount, 1);
    }

private slots:
    void init()
    {
        programDir = std::make_unique<QTemporaryDir>();
        gameDir = std::make_unique<QTemporaryDir>();
        program = programDir->path();
        data = gameDir->path();
        support::makeProgramFolder(program);
        support::writeFile(data + "/pedgrp.dat", "groups");
    }

    void cleanup() { window.reset(); }

    void goodFolderIsCheckedStoredAndRemembered()
    {
        open();
        typeFolder(data);
        QVERIFY(!clickSave().shown);

        QCOMPARE(text1()->text(), data + "/");
        QCOMPARE(window->activeDataFolder(), data + "/");
        QCOMPARE(status(), pathSet);
        verifySaved(true);
        QCOMPARE(support::readFile(support::settingFile(program)), (data + "/\r\n").toLocal8Bit());

        open();
        QCOMPARE(text1()->text(), data + "/");
        QCOMPARE(window->activeDataFolder(), data + "/");
        verifySaved(true);
    }

    void savingTheSameTextAgainDoublesTheSeparator()
    {
        open();
        typeFolder(data);
        clickSave();
        QTest::keyClick(text1(), Qt::Key_End);
        QTest::keyClick(text1(), Qt::Key_Backspace);
        QTest::keyClicks(text1(), "/");
        verifySaved(false);
        QVERIFY(!clickSave().shown);
        QCOMPARE(text1()->text(), data + "//");
        verifySaved(true);
        QCOMPARE(support::readFile(support::settingFile(program)), (data + "//\r\n").toLocal8Bit());
    }

    void upperCaseGameFilePassesTheCheck()
    {
        QVERIFY(QFile::rename(data + "/pedgrp.dat", data + "/PEDGRP.DAT"));
        open();
        typeFolder(data);
        QVERIFY(!clickSave().shown);
        verifySaved(true);
    }

    void folderFailingTheCheckIsRefused_data()
    {
        QTest::addColumn<bool>("savedBefore");
        QTest::addColumn<QString>("fault");
        QTest::newRow("no game file") << false << "missing";
        QTest::newRow("no game file, after a good save") << true << "missing";
        QTest::newRow("no such folder") << false << "folder";
        QTest::newRow("empty text") << false << "empty";
        QTest::newRow("a folder named like the game file") << true << "directory";
    }

    void folderFailingTheCheckIsRefused()
    {
        QFETCH(bool, savedBefore);
        QFETCH(QString, fault);
        if (fault == "empty" && QFileInfo::exists("/pedgrp.dat"))
            QSKIP("this machine has a /pedgrp.dat");

        QTemporaryDir bad;
        if (fault == "directory")
            QVERIFY(QDir().mkdir(bad.filePath("pedgrp.dat")));
        const QString folder = fault == "empty"    ? QString()
                               : fault == "folder" ? bad.filePath("missing")
                                                   : bad.path();
        if (savedBefore)
            support::writeFile(support::settingFile(program), (data + "/\r\n").toLocal8Bit());
        open();
        const QString statusBefore = status();
        const QString activeBefore = window->activeDataFolder();
        const QByteArray storedBefore = support::readFile(support::settingFile(program));

        typeFolder(folder);
        verifyError(clickSave(), incorrectPath);
        QCOMPARE(text1()->text(), QString());
        verifySaved(false);
        QCOMPARE(status(), statusBefore);
        QCOMPARE(window->activeDataFolder(), activeBefore);
        QCOMPARE(support::readFile(support::settingFile(program)), storedBefore);
    }

    void fifoAsGameFileFailsPromptly()
    {
        QVERIFY(QFile::remove(data + "/pedgrp.dat"));
        QVERIFY(mkfifo(QFile::encodeName(data + "/pedgrp.dat").constData(), 0600) == 0);
        open();
        typeFolder(data);
        QElapsedTimer timer;
        timer.start();
        verifyError(clickSave(), incorrectPath);
        QVERIFY(timer.elapsed() < 2000);
        verifySaved(false);
    }

    void unusualFolderTextsGetTheChecksResult_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("passes");
        QTest::newRow("spaces and letters beyond ASCII") << "unicode" << true;
        QTest::newRow("a step back with ..") << "dotdot" << true;
        QTest::newRow("a step back out of a missing folder") << "dotdot missing" << false;
        QTest::newRow("through a symbolic link") << "link" << true;
        QTest::newRow("a file instead of a folder") << "file" << false;
        QTest::newRow("thousands of characters") << "long" << true;
        QTest::newRow("longer than the system allows") << "too long" << false;
    }

    // The check alone decides, and nothing but a checked text is stored, exactly as shown.
    void unusualFolderTextsGetTheChecksResult()
    {
        QFETCH(QString, kind);
        QFETCH(bool, passes);
        const QString name250(250, QLatin1Char('n'));
        QString folder = data;
        if (kind == "unicode") {
            folder += QString::fromUtf8("/Rockstar Games/GTA III Ünïcødé Ελληνικά/data");
        } else if (kind == "dotdot") {
            QVERIFY(QDir().mkdir(data + "/sub"));
            folder += "/sub/..";
        } else if (kind == "dotdot missing") {
            folder += "/missing/..";
        } else if (kind == "link") {
            folder = programDir->filePath("link");
            QVERIFY(QFile::link(data, folder));
        } else if (kind == "file") {
            folder += "/pedgrp.dat";
        } else {
            for (int i = 0; i < (kind == "long" ? 12 : 20); ++i)
                folder += "/" + name250;
        }
        if (kind == "unicode" || kind == "long") {
            QVERIFY(QDir().mkpath(folder));
            support::writeFile(folder + "/pedgrp.dat", "groups");
        }
        QVERIFY(kind != "long" || folder.size() > 3000);

        open();
        text1()->setText(folder);
        const support::Message message = clickSave();
        if (!passes) {
            verifyError(message, incorrectPath);
            QVERIFY(!QFileInfo::exists(support::settingFile(program)));
            return;
        }
        QVERIFY(!message.shown);
        verifySaved(true);
        QCOMPARE(text1()->text(), folder + "/");
        QCOMPARE(window->activeDataFolder(), folder + "/");
        QCOMPARE(support::readFile(support::settingFile(program)), (folder + "/\r\n").toUtf8());
        open();
        QCOMPARE(text1()->text(), folder + "/");
        verifySaved(true);
    }

    void unwritableSettingFileIsReportedAsSuch_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("no configs/path folder") << "no folder";
        QTest::newRow("a folder named config.cfg") << "directory";
    }

    void unwritableSettingFileIsReportedAsSuch()
    {
        QFETCH(QString, fault);
        const QString settingFile = support::settingFile(program);
        if (fault == "no folder")
            QVERIFY(QDir(program + "/configs/path").removeRecursively());
        else if (fault == "directory")
            QVERIFY(QDir().mkpath(settingFile));
        open();
        typeFolder(data);

        verifyError(clickSave(), "Error! Could Not Store The Data Folder. Please Check The "
                                 "configs/path Folder.");
        QCOMPARE(text1()->text(), QString());
        verifySaved(false);
        // The check had passed, so the folder became the active one before the write.
        QCOMPARE(window->activeDataFolder(), data + "/");
        QCOMPARE(status(), pathSet);
        if (fault == "no folder")
            QVERIFY(!QFileInfo::exists(program + "/configs/path"));
        else
            QVERIFY(QFileInfo(settingFile).isDir());

        const support::Message refusal = support::answerMessage([this] {
            QTest::mouseClick(control<QPushButton>(window.get(), "install"), Qt::LeftButton);
        });
        QCOMPARE(refusal.text, "Please Set GTA3 Peds Group File First");
    }

    void anyEditReArmsSaveAndBlocksInstalls()
    {
        support::writeFile(support::settingFile(program), (data + "/\r\n").toLocal8Bit());
        open();
        verifySaved(true);

        QTest::keyClicks(text1(), "x");
        verifySaved(false);
        QTest::keyClicks(text1(), "yz");
        verifySaved(false);
        QCOMPARE(text1()->text(), data + "/xyz");
        QCOMPARE(window->activeDataFolder(), data + "/");
        QCOMPARE(status(), pathSet);

        const support::Message refusal = support::answerMessage([this] {
            QTest::mouseClick(control<QPushButton>(window.get(), "install"), Qt::LeftButton);
        });
        QCOMPARE(refusal.text, "Please Set GTA3 Peds Group File First");
        QCOMPARE(support::readFile(data + "/pedgrp.dat"), QByteArray("groups"));
    }

    void editsBeforeAnySaveChangeNothing()
    {
        open();
        QTest::keyClicks(text1(), "/more");
        verifySaved(false);
        QCOMPARE(status(), pleaseSet);
    }
};

QTEST_MAIN(tst_save)
#include "tst_save.moc"
