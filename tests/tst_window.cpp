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
#endif

namespace {
const QString pleaseSet = "|Please Set The GTA3 Data Folder|Save*";
const QString pathSet = "|Path Set. Please Select Your Peds|Saved";
#ifdef Q_OS_WIN
const QString firstRunFolder = "c:\\program files\\rockstar games\\gtaiii\\data";
const QRegularExpression programFolderForm("^[A-Za-z]:\\\\[^/]*[^/\\\\]$");
const QByteArray utf8Mark = "\xef\xbb\xbf";
#else
const QString firstRunFolder =
    QDir::homePath() + "/.wine/drive_c/Program Files/Rockstar Games/GTAIII/data";
const QRegularExpression programFolderForm("^/.*[^/]$");
const QByteArray utf8Mark; // the code page is UTF-8

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
        QCOMPARE(w->windowTitle(), "Quillfen V1.1");
        QVERIFY(w->minimumSize() == QSize(305, 129) && w->maximumSize() == QSize(305, 129));
        QCOMPARE(w->windowFlags() & ~(Qt::CustomizeWindowHint | Qt::WindowSystemMenuHint),
                 Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                     Qt::MSWindowsFixedSizeDialogHint);
        QVERIFY(w->windowIcon().availableSizes().contains(QSize(32, 32)));
        const QPoint screenCentre = w->screen()->availableGeometry().center();
        QVERIFY((w->frameGeometry().center() - screenCentre).manhattanLength() <= 2);
        QVERIFY(programFolderForm.match(platform::programFolder()).hasMatch());

        // Labels size themselves to their captions; "dialog" is the system's dialog font.
        QStringList layout;
        for (const char *name :
             {"Frame1", "Label1", "text1", "save", "Label2", "List1", "install"}) {
            QWidget *c = f->get(name);
            const QFont font = c->font();
            const bool fits = qobject_cast<QLabel *>(c) && c->size() == c->sizeHint();
            layout << QString("%1 in %2 at %3,%4 %5 %6%7: %8")
                          .arg(name, c->parentWidget()->objectName())
                          .arg(c->x())
                          .arg(c->y())
                          .arg(fits ? "auto" : QString("%1x%2").arg(c->width()).arg(c->height()))
                          .arg(font == QApplication::font() ? "dialog"
                                                            : font.toString().section(',', 0, 1))
                          .arg(font.bold() || font.italic() || c->isHidden() ? " !" : "")
                          .arg(c->property("title").toString() + c->property("text").toString() +
                               c->property("currentText").toString());
        }
        QCOMPARE(layout,
                 QStringList({"Frame1 in frmmain at 8,0 289x121 Verdana,9: Quillfen By Marrowby",
                              "Label1 in Frame1 at 8,24 auto Verdana,8.25: GTA3 Data Folder:",
                              "text1 in Frame1 at 8,40 185x21 dialog: " + firstRunFolder,
                              "save in Frame1 at 200,40 81x21 Verdana,9: Save",
                              "Label2 in Frame1 at 8,64 auto Verdana,8.25: Choose Your Peds:",
                              "List1 in Frame1 at 8,80 185x21 dialog: Default Peds",
                              "install in Frame1 at 200,80 81x21 Verdana,9: &Install"}));
        auto *List1 = f->get<QComboBox>("List1");
        QVERIFY(List1->isEditable() && List1->currentIndex() == -1);
        QVERIFY(f->get<QLineEdit>("text1")->maxLength() == INT_MAX &&
                !f->get<QPushButton>("save")->autoDefault());

        // The status line stays centred under the list, wide enough for every caption.
        auto *Status = f->get<QLabel>("Status");
        QVERIFY(qAbs(Status->geometry().center().x() - 146) <= 1 && Status->y() == 104);
        QVERIFY(Status->font() == f->get("Label1")->font() &&
                Status->alignment() & Qt::AlignHCenter);
        QVERIFY(Status->fontMetrics().horizontalAdvance(pathSet.section('|', 1, 1)) <=
                Status->width());

        // Install has the focus first; Tab goes round the four controls that take it.
        QString order;
        for (int i = 0; i < 5; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            order += QApplication::focusWidget()->objectName() + " ";
        QCOMPARE(order, "install save text1 List1 install ");
    }

    void startUpFollowsTheSettingFile_data()
    {
        QTest::addColumn<QByteArray>("stored"); // "|": a FIFO, which would block
        QTest::addColumn<QString>("state");
        row("first run", QByteArray(), firstRunFolder + pleaseSet);
        row("lines joined", QByteArray("c:\\gta3\r\n\\da\rta\\\n"), "c:\\gta3\\data\\" + pathSet);
        row("zero bytes", QByteArray(""), pathSet);
        // Far too long for a folder: the lines before the cut are offered, unsaved.
        row("a line, then 30 MB", "c:\\\r\n" + QByteArray(30 << 20, 'x'), "c:\\" + pleaseSet);
#ifdef Q_OS_UNIX
        row("a FIFO", QByteArray("|"), firstRunFolder + pleaseSet);
#endif
    }

    void startUpFollowsTheSettingFile()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, state);
#ifdef Q_OS_UNIX
        QVERIFY(stored != "|" || mkfifo(f->settingFile.toLocal8Bit(), 0600) == 0);
#endif
        QElapsedTimer timer;
        timer.start();
        f->open(stored == "|" ? QByteArray() : stored);
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(f->state(), state);
        QCOMPARE(f->window->activeDataFolder(),
                 state.endsWith("Saved") ? state.section('|', 0, 0) : "");
        QCOMPARE(read(f->settingFile), stored == "|" ? QByteArray() : stored);
    }

    void saveChecksTheFolderAndStoresIt_data()
    {
        QTest::addColumn<QString>("made");    // in the data folder: a game file, "/" a folder
        QTest::addColumn<QString>("typed");   // after the data folder
        QTest::addColumn<QString>("message"); // none when the save succeeds
        const QString unstored = QString("3|Error|Error! Could Not Store The Data Folder. Please "
                                         "Check The configs%1path Folder.|OK")
                                     .arg(QDir::separator());
        row("a folder with the game file", "pedgrp.dat", "", "");
        row("the saved text again: doubled separator", "pedgrp.dat", "/", "");
        row("the game file in upper case", "upper/PEDGRP.DAT", "/upper", "");
        row("letters in the code page", "café/pedgrp.dat", "/café", "");
        row("letters outside the code page", "Ελληνικά/pedgrp.dat", "/Ελληνικά", "");
        row("no game file", "empty/", "/empty", incorrectPath);
        row("a folder named like the game file", "pedgrp.dat/", "", incorrectPath);
        row("no configs/path folder to store it in", "pedgrp.dat", "", unstored);
#ifdef Q_OS_UNIX
        row("a FIFO as the game file, which would block", "|", "", incorrectPath);
#endif
    }

    void saveChecksTheFolderAndStoresIt()
    {
        QFETCH(QString, made);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        const QString file = f->data + "/" + made;
#ifdef Q_OS_UNIX
        QVERIFY(made != "|" || mkfifo(f->gameFile.toLocal8Bit(), 0600) == 0);
#endif
        QVERIFY(made == "|" || (made.endsWith('/') ? QDir().mkpath(file) : write(file, gameBytes)));
        const QString earlier = f->data + f->sep; // a refused folder leaves it in place
        f->open(message == incorrectPath ? earlier.toLocal8Bit() : QByteArray());
        QVERIFY(!message.contains("Store") ||
                QDir(f->program + "/configs/path").removeRecursively());
        const QByteArray storedBefore = read(f->settingFile);
        auto *text1 = f->get<QLineEdit>("text1");
        text1->selectAll();
        text1->insert(f->data + QDir::toNativeSeparators(typed)); // pasted over the whole text
        const QString saved = text1->text() + f->sep;
        QVERIFY(f->state().endsWith("*"));
        QCOMPARE(f->click("save"), message);
        QCOMPARE(f->state(),
                 message.isEmpty() ? saved + pathSet : "|Path Set. Please Select Your Peds|Save*");
        // A folder that passed the check is the active one, though it could not be stored.
        QCOMPARE(f->window->activeDataFolder(), message == incorrectPath ? earlier : saved);
        // In the system code page, as earlier versions wrote it, wherever that holds the folder.
        const QByteArray stored =
            typed.contains("λ") ? utf8Mark + saved.toUtf8() : saved.toLocal8Bit();
        QCOMPARE(read(f->settingFile), message.isEmpty() ? stored + "\r\n" : storedBefore);
        if (message.isEmpty())
            f->open(); // the next start finds it saved
        QCOMPARE(f->state().section('|', 0, 0), message.isEmpty() ? saved : "");
    }

#ifdef Q_OS_UNIX
    void settingFileCutShortKeepsTheEarlierOne()
    {
        QVERIFY(write(f->settingFile, "earlier\r\n"));
        QCOMPARE(inChild([&] { return settingfile::write(f->program, QString(99, 'x')); }, 20), 1);
        QCOMPARE(read(f->settingFile) +
                     QDir(f->program + "/configs/path").entryList(QDir::Files).join(' '),
                 "earlier\r\nconfig.cfg");
    }
#endif

    void installPutsThePresetInPlace_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("text");      // chosen from the list; typed after a ">"
        QTest::addColumn<QString>("installed"); // a preset; "game": the game's own; none: untouched
        QTest::addColumn<QString>("label");     // on the status line; none: the line is unchanged
        QTest::addColumn<QString>("files");     // in the data folder afterwards
        QTest::addColumn<int>("limit");         // in a child process, see inChild(); 0: not in one
        const QString both = "pedgrp.dat pedgrp.dat.orig", game = "pedgrp.dat";
        row("refused before any save", "first run", "Gangs", "", "", game, 0);
        row("the first install keeps the game's file", "", "Gangs", "gang war.dat", "Gangs", both,
            0);
        row("typed, installed with Alt+I", "", ">Italians", "italians.dat", "Italians", both, 0);
        row("a later install leaves the copy alone", "kept", "Gangs", "gang war.dat", "Gangs", both,
            0);
        row("Default Peds puts the copy back", "kept", "Default Peds", "game", "Default Peds", both,
            0);
        row("an unknown text puts it back", "kept", ">gangs", "game", "Default Peds", both, 0);
        row("the game file in upper case", "PEDGRP.DAT", "Pimps", "pimps.dat", "Pimps",
            "PEDGRP.DAT PEDGRP.DAT.orig", 0);
        // The copy is kept before the preset is found missing; it is the game's own all the same.
        row("preset missing", "no preset", "Gangs", "", "", both, 0);
        row("a folder as the game file", "folder", "Gangs", "", "", game, 0);
        row("a read-only game file", "read-only", "Gangs", "", "", game, 0);
        // Were the path cut at the NUL, it would name the game file itself.
        row("a NUL in the saved folder", "nul", "Gangs", "", "", game, 0);
#ifdef Q_OS_UNIX
        const int preset = QFileInfo(":/configs/gang war.dat").size();
        row("no room for the copy, room for the preset", "", "Gangs", "", "", game, preset + 10);
        row("killed while writing the preset", "kept", "Gangs", "", "", both, -preset / 2);
        row("a FIFO as the game file, which would block", "fifo", "Gangs", "", "", game, 0);
        row("a folder that takes no new file", "nobody, kept", "Gangs", "gang war.dat", "", both,
            1 << 20);
#endif
    }

    void installPutsThePresetInPlace()
    {
        QFETCH(QString, setup);
        QFETCH(QString, text);
        QFETCH(QString, installed);
        QFETCH(QString, label);
        QFETCH(QString, files);
        QFETCH(int, limit);
        const QString game = f->data + "/" + files.section(' ', 0, 0), kept = game + ".orig";
        QVERIFY(write(game, gameBytes) && (!setup.endsWith("kept") || QFile::rename(game, kept)));
        QVERIFY(!setup.endsWith("kept") || write(game, "installed earlier"));
        QVERIFY(setup != "folder" || (QFile::remove(game) && QDir().mkdir(game)));
        QVERIFY(setup != "no preset" || QFile::remove(f->program + "/configs/gang war.dat"));
        QVERIFY(setup != "read-only" || QFile::setPermissions(game, QFile::ReadOwner));
#ifdef Q_OS_UNIX
        QVERIFY(setup != "fifo" || (QFile::remove(game) && mkfifo(game.toLocal8Bit(), 0600) == 0));
        // Nobody may write the game file alone; root may make files in any folder.
        const auto readable =
            QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        for (const QString &folder : {f->program, f->data})
            QVERIFY(!setup.startsWith("nobody") || QFile::setPermissions(folder, readable));
        QVERIFY(!setup.startsWith("nobody") ||
                QFile::setPermissions(game, QFile::ReadOther | QFile::WriteOther));
#endif
        const QString nul = setup == "nul" ? "/pedgrp.dat" + QString(QChar(0)) : "";
        f->open(setup == "first run" ? QByteArray() : (f->data + nul + f->sep).toLocal8Bit());
        const QByteArray before = read(game);
        const QString statusBefore = f->state().section('|', 1, 1);
        auto *List1 = f->get<QComboBox>("List1");
        List1->setCurrentIndex(List1->findText(text));
        if (text.startsWith('>')) {
            List1->lineEdit()->clear();
            QTest::keyClicks(List1->lineEdit(), text.remove(0, 1));
            QTest::keyClick(f->window.get(), Qt::Key_I, Qt::AltModifier);
        }
#ifdef Q_OS_UNIX
        const bool asNobody = setup.startsWith("nobody") && geteuid() == 0;
        const auto install = [&] {
            return (!asNobody || (!setgid(65534) && !setuid(65534))) &&
                   f->click("install").isEmpty();
        };
        QVERIFY(!limit || inChild(install, limit) == (limit < 0 ? -1 : 0));
        for (const QString &folder : {f->program, f->data})
            QVERIFY(QFile::setPermissions(folder, readable | QFile::WriteOwner));
#endif
        if (!limit && !text.isEmpty() && List1->currentIndex() >= 0)
            QCOMPARE(f->click("install"), setup == "first run" ? refusal : "");
        QTRY_COMPARE(f->state().section('|', 1),
                     (label.isEmpty() ? statusBefore : "'" + label + "' Installed") +
                         (setup == "first run" ? "|Save*" : "|Saved"));
        QCOMPARE(List1->currentText(), text);
        const QString preset = f->program + "/configs/" + installed;
        QCOMPARE(read(game), installed.isEmpty()   ? before
                             : installed == "game" ? gameBytes
                                                   : read(preset));
        QCOMPARE(QDir(f->data)
                     .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                     .join(' '),
                 files);
        QVERIFY(!QFileInfo(kept).isFile() || read(kept) == gameBytes);
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
            const QString label = List1->itemText(i), installed = read(f->data + "/pedgrp.dat");
            QVERIFY2(installed.startsWith("# Quillfen preset: " + label + "\r\n") &&
                         installed.count(group) == 31,
                     qPrintable(label));
            QCOMPARE(f->state().section('|', 1, 1), "'" + label + "' Installed");
        }
        QCOMPARE(List1->itemText(0) + "," + List1->itemText(14), "Default Peds,Workers");
    }
};

QTEST_MAIN(tst_window)
#include "tst_window.moc"
