// The whole window over a temporary program folder: what a player sees and what lands on disk.
// Each table ends in the faults only a POSIX system stages here: a write cut short by a
// file-size limit or a kill, a FIFO that would block an open, a folder that takes no new file.

#include "support.h"

#include "app/platform.h"
#include "folder/settingfile.h"

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {
const QString pleaseSet = "Please Set The GTA3 Data Folder",
              pathSet = "Path Set. Please Select Your Peds";
#ifdef Q_OS_WIN
const QString firstRunFolder = "c:\\program files\\rockstar games\\gtaiii\\data";
const QRegularExpression programFolderForm("^[A-Za-z]:\\\\[^/]*[^/\\\\]$");
const QByteArray utf8Mark = "\xef\xbb\xbf";
#else
const QString firstRunFolder =
    QDir::homePath() + "/.wine/drive_c/Program Files/Rockstar Games/GTAIII/data";
const QRegularExpression programFolderForm("^/.*[^/]$");
const QByteArray utf8Mark; // the code page is UTF-8

bool makeFifo(const QString &path)
{
    return (!QFile::exists(path) || QFile::remove(path)) && mkfifo(path.toLocal8Bit(), 0600) == 0;
}

// Runs `job` in a child process whose files may not grow past |limit| bytes: past it a write
// fails, or kills the child when `limit` is negative. Returns 0 when the job succeeded, 1 when
// it failed, -1 when the child was killed.
template <class Job> int inChild(Job job, int limit)
{
    const pid_t pid = fork();
    const rlimit rl{rlim_t(std::abs(limit)), rlim_t(std::abs(limit))};
    if (pid == 0 && signal(SIGXFSZ, limit < 0 ? SIG_DFL : SIG_IGN) != SIG_ERR)
        _exit(setrlimit(RLIMIT_FSIZE, &rl) == 0 && job() ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif
} // namespace

class tst_window : public QObject
{
    Q_OBJECT
    std::unique_ptr<Fixture> f;

private slots:
    void init() { f = std::make_unique<Fixture>(); }

    void layoutIsAsDrawn()
    {
        f->open();
        frmmain *w = f->window.get();
        QCOMPARE(QString("%1 %2x%3").arg(w->windowTitle()).arg(w->width()).arg(w->height()),
                 "Quillfen V1.1 305x129");
        QVERIFY(w->minimumSize() == w->size() && w->maximumSize() == w->size());
        QCOMPARE(w->windowFlags() & ~(Qt::CustomizeWindowHint | Qt::WindowSystemMenuHint),
                 Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                     Qt::MSWindowsFixedSizeDialogHint);
        QVERIFY(w->windowIcon().availableSizes().contains(QSize(32, 32)));
        QVERIFY((w->frameGeometry().center() - w->screen()->availableGeometry().center())
                    .manhattanLength() <= 2);
        QVERIFY2(programFolderForm.match(platform::programFolder()).hasMatch(),
                 qPrintable(platform::programFolder()));

        // Labels size themselves to their captions; "dialog" is the system's dialog font.
        QStringList layout;
        for (const char *name :
             {"Frame1", "Label1", "text1", "save", "Label2", "List1", "install"}) {
            QWidget *c = f->get(name);
            const QFont font = c->font();
            const QString size = qobject_cast<QLabel *>(c) && c->size() == c->sizeHint()
                                     ? "auto"
                                     : QString("%1x%2").arg(c->width()).arg(c->height());
            const QString looks = font == QApplication::font()
                                      ? "dialog"
                                      : font.family() + QString(" %1").arg(font.pointSizeF());
            layout << QString("%1 in %2 at %3,%4 %5 %6%7: ")
                              .arg(name, c->parentWidget()->objectName())
                              .arg(c->x())
                              .arg(c->y())
                              .arg(size, looks,
                                   font.bold() || font.italic() || c->isHidden() ? "!" : "") +
                          c->property("title").toString() + c->property("text").toString() +
                          c->property("currentText").toString();
        }
        QCOMPARE(layout,
                 QStringList({"Frame1 in frmmain at 8,0 289x121 Verdana 9: Quillfen By Marrowby",
                              "Label1 in Frame1 at 8,24 auto Verdana 8.25: GTA3 Data Folder:",
                              "text1 in Frame1 at 8,40 185x21 dialog: " + firstRunFolder,
                              "save in Frame1 at 200,40 81x21 Verdana 9: Save",
                              "Label2 in Frame1 at 8,64 auto Verdana 8.25: Choose Your Peds:",
                              "List1 in Frame1 at 8,80 185x21 dialog: Default Peds",
                              "install in Frame1 at 200,80 81x21 Verdana 9: &Install"}));
        QVERIFY(f->get<QComboBox>("List1")->isEditable() &&
                f->get<QComboBox>("List1")->currentIndex() == -1);
        QVERIFY(f->get<QLineEdit>("text1")->maxLength() == INT_MAX &&
                !f->get<QPushButton>("save")->autoDefault());

        // The status line stays centred under the list, and every caption fits in the frame.
        auto *Status = f->get<QLabel>("Status");
        QVERIFY(qAbs(Status->geometry().center().x() - 146) <= 1 && Status->y() == 104 &&
                Status->alignment() & Qt::AlignHCenter);
        QVERIFY(Status->font() == f->get("Label1")->font() &&
                f->get("Frame1")->rect().contains(Status->geometry()));
        for (const QString &caption : {pleaseSet, pathSet, QString("'Chinese People' Installed")})
            QVERIFY(QFontMetrics(Status->font()).horizontalAdvance(caption) <= Status->width());

        // Install has the focus first; Tab goes round the four controls that take it.
        QString order;
        for (int i = 0; i < 5; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab)) {
            const QWidget *focus = QApplication::focusWidget(); // in the list: its text field
            order +=
                (focus->objectName().isEmpty() ? focus->parentWidget() : focus)->objectName() + " ";
        }
        QCOMPARE(order, "install save text1 List1 install ");
    }

    void startUpFollowsTheSettingFile_data()
    {
        QTest::addColumn<QByteArray>("stored"); // "|": a FIFO, which would block
        QTest::addColumn<QString>("text1");
        QTest::addColumn<bool>("saved");
        row("first run", QByteArray(), firstRunFolder, false);
        row("lines joined", QByteArray("c:\\gta3\r\n\\da\rta\\\n"), "c:\\gta3\\data\\", true);
        row("zero bytes", QByteArray(""), "", true);
        // Far too long for a folder: the lines before the cut are offered, unsaved.
        row("a line, then 30 MB", "c:\\\r\n" + QByteArray(30 << 20, 'x'), "c:\\", false);
#ifdef Q_OS_UNIX
        row("a FIFO", QByteArray("|"), firstRunFolder, false);
#endif
    }

    void startUpFollowsTheSettingFile()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, text1);
        QFETCH(bool, saved);
#ifdef Q_OS_UNIX
        QVERIFY(stored != "|" || makeFifo(f->settingFile));
#endif
        QElapsedTimer timer;
        timer.start();
        f->open(stored == "|" ? QByteArray() : stored);
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(f->get<QLineEdit>("text1")->text() + f->status() + f->saveState(),
                 text1 + (saved ? pathSet + "Saved" : pleaseSet + "Save*"));
        QCOMPARE(f->window->activeDataFolder(), saved ? text1 : QString());
        QCOMPARE(read(f->settingFile), stored == "|" ? QByteArray() : stored);
    }

    void saveChecksTheFolderAndStoresIt_data()
    {
        QTest::addColumn<QString>("folder");  // the game's data folder, laid out
        QTest::addColumn<QString>("typed");   // after the data folder
        QTest::addColumn<QString>("message"); // none when the save succeeds
        const QString unstored =
            "3|Error|Error! Could Not Store The Data Folder. Please Check The configs" +
            QString(QDir::separator()) + "path Folder.|OK";
        row("a folder with the game file", "pedgrp.dat=game", "", "");
        row("the saved text again: doubled separator", "pedgrp.dat=game", "/", "");
        row("the game file in upper case", "upper/PEDGRP.DAT=game", "/upper", "");
        row("letters in the code page", "café/pedgrp.dat=game", "/café", "");
        row("letters outside the code page", "Ελληνικά/pedgrp.dat=game", "/Ελληνικά", "");
        row("no game file", "empty/", "/empty", incorrectPath);
        row("a folder named like the game file", "pedgrp.dat/", "", incorrectPath);
        row("no configs/path folder to store it in", "pedgrp.dat=game", "", unstored);
#ifdef Q_OS_UNIX
        row("a FIFO as the game file, which would block", "", "", incorrectPath);
#endif
    }

    void saveChecksTheFolderAndStoresIt()
    {
        QFETCH(QString, folder);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        const QString earlier = f->data + f->sep; // a refused folder leaves it in place
        f->open(message == incorrectPath ? earlier.toLocal8Bit() : QByteArray(), folder);
#ifdef Q_OS_UNIX
        QVERIFY(!folder.isEmpty() || makeFifo(f->data + "/pedgrp.dat"));
#endif
        QVERIFY(!message.contains("Store") ||
                QDir(f->program + "/configs/path").removeRecursively());
        const QByteArray storedBefore = read(f->settingFile);
        auto *text1 = f->get<QLineEdit>("text1");
        text1->selectAll();
        text1->insert(f->data + QDir::toNativeSeparators(typed)); // pasted over the whole text
        const QString saved = text1->text() + f->sep;
        QCOMPARE(f->saveState(), "Save*");
        QCOMPARE(f->click("save"), message);
        QCOMPARE(text1->text() + f->status() + f->saveState(),
                 message.isEmpty() ? saved + pathSet + "Saved" : pathSet + "Save*");
        // A folder that passed the check is the active one, though it could not be stored.
        QCOMPARE(f->window->activeDataFolder(), message == incorrectPath ? earlier : saved);
        // In the system code page, as earlier versions wrote it, wherever that holds the folder.
        const QByteArray stored =
            (typed.contains("λ") ? utf8Mark + saved.toUtf8() : saved.toLocal8Bit()) + "\r\n";
        QCOMPARE(read(f->settingFile), message.isEmpty() ? stored : storedBefore);
        if (message.isEmpty())
            f->open(); // the next start finds it saved
        QCOMPARE(f->get<QLineEdit>("text1")->text() + f->saveState(),
                 message.isEmpty() ? saved + "Saved" : "Save*");
    }

#ifdef Q_OS_UNIX
    void settingFileCutShortKeepsTheEarlierOne()
    {
        QVERIFY(write(f->settingFile, "earlier\r\n"));
        QCOMPARE(inChild([&] { return settingfile::write(f->program, QString(4096, 'x')); }, 100),
                 1);
        QCOMPARE(describe(f->program + "/configs/path"), "config.cfg=earlier\r\n");
    }
#endif

    void installPutsThePresetInPlace_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("before"); // the game's data folder, laid out
        QTest::addColumn<QString>("text");   // chosen from the list; typed after a ">"
        QTest::addColumn<QString>("after");  // the data folder; none: as it was
        QTest::addColumn<QString>("label");  // on the status line; none: the line is unchanged
        QTest::addColumn<int>("limit");      // in a child process, see inChild(); 0: not in one
        const QString game = "pedgrp.dat=game", kept = "pedgrp.dat=x, pedgrp.dat.orig=game";
        const QString gangs = "pedgrp.dat=Gangs, pedgrp.dat.orig=game",
                      back = "pedgrp.dat=game, pedgrp.dat.orig=game";
        row("refused before any save", "first run", game, "Gangs", "", "", 0);
        row("the first install keeps the game's file", "", game, "Gangs", gangs, "Gangs", 0);
        row("typed, installed with Alt+I", "", game, ">Italians",
            "pedgrp.dat=Italians, pedgrp.dat.orig=game", "Italians", 0);
        row("a later install leaves the copy alone", "", kept, "Gangs", gangs, "Gangs", 0);
        row("Default Peds puts the copy back", "", kept, "Default Peds", back, "Default Peds", 0);
        row("an unknown text puts it back", "", kept, ">gangs", back, "Default Peds", 0);
        row("the game file in upper case", "", "PEDGRP.DAT=game", "Pimps",
            "PEDGRP.DAT=Pimps, PEDGRP.DAT.orig=game", "Pimps", 0);
        // The copy is kept before the preset is found missing; it is the game's own all the same.
        row("preset missing", "no preset", game, "Gangs", back, "", 0);
        row("a folder as the game file", "", "pedgrp.dat/", "Gangs", "", "", 0);
        row("a read-only game file", "read-only", game, "Gangs", "", "", 0);
        // Were the path cut at the NUL, it would name the game file itself.
        row("a NUL in the saved folder", "nul", game, "Gangs", "", "", 0);
#ifdef Q_OS_UNIX
        const int preset = QFileInfo(":/configs/gang war.dat").size();
        row("no room for the copy, room for the preset", "", game, "Gangs", "", "", preset + 10);
        row("killed while writing the preset", "", kept, "Gangs", "", "", -preset / 2);
        row("a FIFO as the game file, which would block", "fifo", "", "Gangs", "pedgrp.dat|", "",
            0);
        row("a folder that takes no new file: written straight", "nobody", kept, "Gangs", gangs, "",
            1 << 20);
#endif
    }

    void installPutsThePresetInPlace()
    {
        QFETCH(QString, setup);
        QFETCH(QString, before);
        QFETCH(QString, text);
        QFETCH(QString, after);
        QFETCH(QString, label);
        QFETCH(int, limit);
        const QString saved =
            f->data + (setup == "nul" ? "/pedgrp.dat" + QString(QChar(0)) : "") + f->sep;
        f->open(setup == "first run" ? QByteArray() : saved.toLocal8Bit(), before);
        QVERIFY(setup != "no preset" || QFile::remove(f->program + "/configs/gang war.dat"));
        QVERIFY(setup != "read-only" ||
                QFile::setPermissions(f->data + "/pedgrp.dat", QFile::ReadOwner));
#ifdef Q_OS_UNIX
        QVERIFY(setup != "fifo" || makeFifo(f->data + "/pedgrp.dat"));
        // Nobody may write the game file alone; root may make files in any folder.
        const auto readable =
            QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(setup != "nobody" || (QFile::setPermissions(f->program, readable) &&
                                      QFile::setPermissions(f->data, readable) &&
                                      QFile::setPermissions(f->data + "/pedgrp.dat",
                                                            QFile::ReadOther | QFile::WriteOther)));
#endif
        const QString statusBefore = f->status();
        auto *List1 = f->get<QComboBox>("List1");
        List1->setCurrentIndex(List1->findText(text));
        if (text.startsWith('>')) {
            List1->lineEdit()->clear();
            QTest::keyClicks(List1->lineEdit(), text.remove(0, 1));
            QTest::keyClick(f->window.get(), Qt::Key_I, Qt::AltModifier);
        } else if (!limit) {
            QCOMPARE(f->click("install"), setup == "first run" ? refusal : "");
        }
#ifdef Q_OS_UNIX
        const bool asNobody = setup == "nobody" && geteuid() == 0;
        const auto install = [&] {
            return (!asNobody || (setgid(65534) == 0 && setuid(65534) == 0)) &&
                   f->click("install").isEmpty();
        };
        QVERIFY(!limit || inChild(install, limit) == (limit < 0 ? -1 : 0));
        QVERIFY(QFile::setPermissions(f->program, readable | QFile::WriteOwner) &&
                QFile::setPermissions(f->data, readable | QFile::WriteOwner));
#endif
        QTRY_COMPARE(f->status(), label.isEmpty() ? statusBefore : "'" + label + "' Installed");
        QCOMPARE(f->saveState() + List1->currentText(),
                 (setup == "first run" ? "Save*" : "Saved") + text);
        QCOMPARE(describe(f->data), after.isEmpty() ? before : after);
    }

    // Each entry of the list installs the preset named after it, and the game can load it: a
    // line of eight ped models for each of its 31 groups.
    void everyGroupInstallsItsPreset()
    {
        f->open((f->data + f->sep).toLocal8Bit()); // no game file, so no copy to put back
        auto *List1 = f->get<QComboBox>("List1");
        static const QRegularExpression group("^(\\w+, ){7}\\w+\r$",
                                              QRegularExpression::MultilineOption);
        for (int i = 0; i < List1->count(); List1->setCurrentIndex(++i)) {
            QCOMPARE(f->click("install"), "");
            QCOMPARE(describe(f->data).section(", ", 0, 0) + f->status(),
                     "pedgrp.dat=" + List1->itemText(i) + "'" + List1->itemText(i) + "' Installed");
            QCOMPARE(QString(read(f->data + "/pedgrp.dat")).count(group), 31);
        }
        QCOMPARE(List1->itemText(0) + "," + List1->itemText(14), "Default Peds,Workers");
    }
};

QTEST_MAIN(tst_window)
#include "tst_window.moc"
