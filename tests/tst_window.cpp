// The whole window over a temporary program folder: what a player sees and what lands on disk.
// Faults that only a POSIX system stages (a write cut short by a file-size limit or a kill, a
// FIFO that would block an open, links, a folder that takes no new file) are rows of their own,
// with their helpers, at the end of each table.

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
const QString pleaseSet = "Please Set The GTA3 Data Folder";
const QString pathSet = "Path Set. Please Select Your Peds";
#ifdef Q_OS_WIN
const QString firstRunFolder = "c:\\program files\\rockstar games\\gtaiii\\data";
const QRegularExpression programFolderForm("^[A-Za-z]:\\\\[^/]*[^/\\\\]$");
// Windows-1252, the code page under test, holds these letters as Latin-1 does.
QByteArray codePage(const QString &text)
{
    return text.toLatin1();
}
const QByteArray utf8Mark = "\xef\xbb\xbf";
#else
const QString firstRunFolder =
    QDir::homePath() + "/.wine/drive_c/Program Files/Rockstar Games/GTAIII/data";
const QRegularExpression programFolderForm("^/.*[^/]$");
QByteArray codePage(const QString &text)
{
    return text.toUtf8();
}
const QByteArray utf8Mark; // the code page is UTF-8
#endif

#ifdef Q_OS_UNIX
bool makeFifo(const QString &path)
{
    return (!QFile::exists(path) || QFile::remove(path)) && mkfifo(path.toLocal8Bit(), 0600) == 0;
}

// Runs `job` in a child process, as nobody when asked (root may make files in any folder),
// whose files may not grow past `limit` bytes if given: past it a write fails, or kills the
// child when `limit` is negative. Returns 0 when the job succeeded, 1 when it failed, -1 when
// the child was killed; a job that hangs is killed after five seconds.
template <class Job> int inChild(Job job, int limit, bool asNobody = false)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const rlimit rl{rlim_t(std::abs(limit)), rlim_t(std::abs(limit))};
        signal(SIGXFSZ, limit < 0 ? SIG_DFL : SIG_IGN);
        alarm(5);
        if ((limit && setrlimit(RLIMIT_FSIZE, &rl)) ||
            (asNobody && geteuid() == 0 && (setgid(65534) || setuid(65534))))
            _exit(2);
        _exit(job() ? 0 : 1);
    }
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
        QCOMPARE(w->windowTitle() + (w->minimumSize() == w->maximumSize() ? " fixed" : ""),
                 "Quillfen V1.1 fixed");
        QCOMPARE(w->size(), QSize(305, 129));
        QCOMPARE(w->windowFlags() & ~(Qt::CustomizeWindowHint | Qt::WindowSystemMenuHint),
                 Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                     Qt::MSWindowsFixedSizeDialogHint);
        QVERIFY(w->windowIcon().availableSizes().contains(QSize(32, 32)));
        QVERIFY((w->geometry().center() - w->screen()->availableGeometry().center())
                    .manhattanLength() <= 8);
        QVERIFY2(programFolderForm.match(platform::programFolder()).hasMatch(),
                 qPrintable(platform::programFolder()));

        // Labels size themselves to their captions; "dialog" is the system's dialog font.
        QStringList layout;
        for (const char *name :
             {"Frame1", "Label1", "text1", "save", "Label2", "List1", "install"}) {
            QWidget *c = f->get(name);
            const QFont font = c->font();
            const bool fits = qobject_cast<QLabel *>(c) && c->size() == c->sizeHint();
            layout << QString("%1 in %2 at %3,%4 %5 %6 %7: %8")
                          .arg(name, c->parentWidget()->objectName())
                          .arg(c->x())
                          .arg(c->y())
                          .arg(fits ? "auto" : QString("%1x%2").arg(c->width()).arg(c->height()))
                          .arg(font == QApplication::font() ? "dialog" : font.family())
                          .arg(font.pointSizeF() *
                               (font.bold() || font.italic() || c->isHidden() ? -1 : 1))
                          .arg(c->property("title").toString() + c->property("text").toString() +
                               c->property("currentText").toString());
        }
        QCOMPARE(layout,
                 QStringList({"Frame1 in frmmain at 8,0 289x121 Verdana 9: Quillfen By Marrowby",
                              "Label1 in Frame1 at 8,24 auto Verdana 8.25: GTA3 Data Folder:",
                              "text1 in Frame1 at 8,40 185x21 dialog 9: " + firstRunFolder,
                              "save in Frame1 at 200,40 81x21 Verdana 9: Save",
                              "Label2 in Frame1 at 8,64 auto Verdana 8.25: Choose Your Peds:",
                              "List1 in Frame1 at 8,80 185x21 dialog 9: Default Peds",
                              "install in Frame1 at 200,80 81x21 Verdana 9: &Install"}));
        QVERIFY(f->get<QComboBox>("List1")->isEditable() &&
                f->get<QComboBox>("List1")->currentIndex() == -1);
        QCOMPARE(f->get<QLineEdit>("text1")->maxLength(), std::numeric_limits<int>::max());
        QVERIFY(!f->get<QPushButton>("install")->autoDefault() &&
                !f->get<QPushButton>("save")->autoDefault());

        // The status line stays centred under the list, and every caption fits in the frame.
        auto *Status = f->get<QLabel>("Status");
        QVERIFY(qAbs(Status->geometry().center().x() - 146) <= 1 && Status->y() == 104);
        QVERIFY(Status->font() == f->get("Label1")->font() &&
                Status->alignment() & Qt::AlignHCenter);
        QVERIFY(f->get("Frame1")->rect().contains(Status->geometry()));
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
        QTest::addColumn<QByteArray>("stored"); // a null array: no setting file
        QTest::addColumn<QString>("text1");
        QTest::addColumn<bool>("saved");
        row("first run", QByteArray(), firstRunFolder, false);
        row("lines joined", QByteArray("c:\\gta3\r\n\\da\rta\\\n"), "c:\\gta3\\data\\", true);
        row("zero bytes", QByteArray(""), "", true);
        row("code page", codePage("café") + "\r\n", "café", true);
        row("UTF-8 behind its mark", QByteArray("\xef\xbb\xbf\xce\xb1\xef\xbb\xbf"), "α\ufeff",
            true);
        // Far too long for a folder: the lines before the cut are offered, unsaved.
        row("a line, then 30 MB", "c:\\\r\n" + QByteArray(30 << 20, 'x'), "c:\\", false);
#ifdef Q_OS_UNIX
        row("a FIFO", QByteArray("fifo"), firstRunFolder, false);
#endif
    }

    void startUpFollowsTheSettingFile()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, text1);
        QFETCH(bool, saved);
#ifdef Q_OS_UNIX
        QVERIFY(stored != "fifo" || makeFifo(f->settingFile));
#endif
        QElapsedTimer timer;
        timer.start();
        f->open(stored == "fifo" ? QByteArray() : stored);
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(f->get<QLineEdit>("text1")->text(), text1);
        QCOMPARE(f->saveState() + f->text("Status"),
                 saved ? "Saved" + pathSet : "Save*" + pleaseSet);
        QCOMPARE(f->window->activeDataFolder(), saved ? text1 : QString());
        QCOMPARE(read(f->settingFile), stored == "fifo" ? QByteArray() : stored);
    }

    void saveChecksTheFolderAndStoresIt_data()
    {
        QTest::addColumn<QString>("typed");   // after the game folder
        QTest::addColumn<QString>("made");    // in the typed folder; "-": just the folder
        QTest::addColumn<QString>("message"); // none when the save succeeds
        const QString unstored =
            "3|Error|Error! Could Not Store The Data Folder. Please Check The configs" +
            QString(QDir::separator()) + "path Folder.|OK";
        row("a folder with the game file", "", "", "");
        row("the saved text again: doubled separator", "<sep>", "", "");
        row("the game file in upper case", "/upper", "PEDGRP.DAT", "");
        row("letters in the code page", "/café", "pedgrp.dat", "");
        row("letters outside the code page", "/Ελληνικά", "pedgrp.dat", "");
        row("no game file", "/empty", "-", incorrectPath);
        row("a folder named like the game file", "/dir", "pedgrp.dat/", incorrectPath);
        row("no configs/path folder", "<no path>", "", unstored);
#ifdef Q_OS_UNIX
        row("a FIFO as the game file", "/fifo", "fifo", incorrectPath);
#endif
    }

    void saveChecksTheFolderAndStoresIt()
    {
        QFETCH(QString, typed);
        QFETCH(QString, made);
        QFETCH(QString, message);
        QString folder = f->data + (typed.startsWith('<') ? "" : QDir::toNativeSeparators(typed));
        QVERIFY(made.isEmpty() || QDir().mkpath(made.endsWith('/') ? folder + "/" + made : folder));
        QVERIFY(made.size() < 2 || made.endsWith('/') || made == "fifo" ||
                write(folder + "/" + made, gameBytes));
#ifdef Q_OS_UNIX
        QVERIFY(made != "fifo" || makeFifo(folder + "/pedgrp.dat"));
#endif
        folder += typed == "<sep>" ? f->sep : "";
        const QString earlier = f->data + f->sep; // a refused folder leaves it in place
        f->open(message == incorrectPath ? earlier.toLocal8Bit() : QByteArray());
        QVERIFY(typed != "<no path>" || QDir(f->program + "/configs/path").removeRecursively());
        const QByteArray storedBefore = read(f->settingFile);
        auto *text1 = f->get<QLineEdit>("text1");
        text1->selectAll();
        text1->insert(folder); // pasted over the whole text
        QCOMPARE(f->click("save"), message);
        QCOMPARE(f->text("Status"), pathSet);
        const QString saved = message.isEmpty() ? folder + f->sep : "";
        QCOMPARE(text1->text() + f->saveState(), saved + (message.isEmpty() ? "Saved" : "Save*"));
        // A folder that passed the check is the active one, though it could not be stored.
        QCOMPARE(f->window->activeDataFolder(),
                 message == incorrectPath ? earlier : folder + f->sep);
        const QByteArray bytes = typed.contains("λ") ? utf8Mark + saved.toUtf8() : codePage(saved);
        QCOMPARE(read(f->settingFile), message.isEmpty() ? bytes + "\r\n" : storedBefore);
        if (!message.isEmpty())
            return;
        f->open(); // the next start finds it saved
        QCOMPARE(f->get<QLineEdit>("text1")->text() + f->saveState(), saved + "Saved");
    }

#ifdef Q_OS_UNIX
    void settingFileCutShortKeepsTheEarlierOne()
    {
        QVERIFY(write(f->settingFile, "earlier\r\n"));
        QCOMPARE(inChild([&] { return settingfile::write(f->program, QString(4096, 'x')); }, 100),
                 1);
        QCOMPARE(read(f->settingFile) + entries(f->program + "/configs/path"),
                 "earlier\r\nconfig.cfg");
    }
#endif

    void installPutsThePresetInPlace_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("text"); // chosen from the list; typed after a ">"
        QTest::addColumn<QString>(
            "installed");                     // a preset, "own": the game's bytes, none: untouched
        QTest::addColumn<QString>("label");   // on the status line; none: the line is unchanged
        QTest::addColumn<QString>("entries"); // of the data folder afterwards, the game file first
        QTest::addColumn<int>("limit");       // in a child process, see inChild(); 0: not in one
        const QString both = "pedgrp.dat pedgrp.dat.orig";
        row("refused before any save", "first run", "Gangs", "", "", "pedgrp.dat", 0);
        row("refused after an edit", "edited", "Gangs", "", "", "pedgrp.dat", 0);
        row("the first install keeps the game's file", "", "Gangs", "gang war.dat", "Gangs", both,
            0);
        row("typed, installed with Alt+I", "", ">Italians", "italians.dat", "Italians", both, 0);
        row("a later install leaves the copy alone", "kept", "Scum", "scum.dat", "Scum", both, 0);
        row("Default Peds puts the copy back", "kept", "Default Peds", "own", "Default Peds", both,
            0);
        row("an unknown text puts it back", "kept", ">gangs", "own", "Default Peds", both, 0);
        row("nothing to keep", "moved", "Default Peds", "original.dat", "Default Peds",
            "pedgrp.dat", 0);
        row("the game file in upper case", "PEDGRP.DAT", "Pimps", "pimps.dat", "Pimps",
            "PEDGRP.DAT PEDGRP.DAT.orig", 0);
        // The copy is kept before the preset is found missing; it is the game's own all the same.
        row("preset missing", "no preset", "Gangs", "", "", both, 0);
        row("a folder as the game file", "pedgrp.dat/", "Gangs", "", "", "pedgrp.dat", 0);
        row("a folder as the kept copy", "pedgrp.dat.orig/", "Gangs", "", "", both, 0);
        row("a read-only game file", "read-only", "Gangs", "", "", "pedgrp.dat", 0);
        // Were the path cut at the NUL, it would name the game file itself.
        row("a NUL in the saved folder", "nul", "Gangs", "", "", "pedgrp.dat", 0);
#ifdef Q_OS_UNIX
        const int preset = QFileInfo(":/configs/gang war.dat").size();
        QVERIFY(preset < gameBytes.size());
        row("no room for the copy, room for the preset", "", "Gangs", "", "", "pedgrp.dat",
            preset + 10);
        row("killed while keeping the copy", "", "Gangs", "", "", "pedgrp.dat", -preset / 2);
        row("no room for the preset", "kept", "Gangs", "", "", both, preset / 2);
        row("killed while writing the preset", "kept", "Gangs", "", "", both, -preset / 2);
        row("a FIFO as the game file", "fifo", "Gangs", "", "", "pedgrp.dat", 0);
        row("a dangling link as the game file", "link gone", "Gangs", "", "", "pedgrp.dat real", 0);
        row("a link as the game file: followed", "link real", "Gangs", "gang war.dat", "Gangs",
            both + " real", 0);
        row("a folder that takes no new file", "nobody", "Gangs", "", "", "pedgrp.dat", 1 << 20);
        row("... with a copy kept: written straight", "nobody kept", "Gangs", "gang war.dat", "",
            both, 1 << 20);
#endif
    }

    void installPutsThePresetInPlace()
    {
        QFETCH(QString, setup);
        QFETCH(QString, text);
        QFETCH(QString, installed);
        QFETCH(QString, label);
        QFETCH(QString, entries);
        QFETCH(int, limit);
        const QString game = f->data + "/" + entries.section(' ', 0, 0);
        const QString saved = (setup == "nul" ? f->gameFile + QChar(0) : f->data) + f->sep;
        f->open(setup == "first run" ? QByteArray() : saved.toLocal8Bit());
        QVERIFY(!setup.endsWith("kept") || write(f->gameFile + ".orig", gameBytes));
        QVERIFY(!setup.endsWith("kept") || write(f->gameFile, "installed earlier\r\n"));
        QVERIFY((setup != "moved" && setup != "PEDGRP.DAT") ||
                QFile::rename(f->gameFile, f->program + "/moved"));
        QVERIFY(setup != "PEDGRP.DAT" ||
                QFile::rename(f->program + "/moved", f->data + "/" + setup));
        QVERIFY(setup != "pedgrp.dat/" || QFile::remove(f->gameFile));
        QVERIFY(!setup.endsWith('/') || QDir().mkdir(f->data + "/" + setup));
        QVERIFY(setup != "no preset" || QFile::remove(f->program + "/configs/gang war.dat"));
        QVERIFY(setup != "read-only" ||
                QFile::setPermissions(f->gameFile, QFile::ReadOwner | QFile::ReadOther));
        if (setup == "edited") // a folder still, but unchecked since
            QTest::keyClicks(f->get("text1"), "x");
#ifdef Q_OS_UNIX
        QVERIFY(setup != "fifo" || makeFifo(f->gameFile));
        QVERIFY(!setup.startsWith("link") ||
                (QFile::rename(f->gameFile, f->data + "/real") &&
                 QFile::link(f->data + "/" + setup.mid(5), f->gameFile)));
        // Nobody may read both folders, and write the game file alone.
        const auto readOnly =
            QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        const auto readWrite =
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther;
        for (const QString &folder : {f->program, f->data})
            QVERIFY(!setup.startsWith("nobody") || QFile::setPermissions(folder, readOnly));
        QVERIFY(!setup.startsWith("nobody") || QFile::setPermissions(f->gameFile, readWrite));
#endif
        const QByteArray before = read(game);
        const QString statusBefore = f->text("Status");

        auto *List1 = f->get<QComboBox>("List1");
        List1->setCurrentIndex(List1->findText(text));
        if (text.startsWith('>')) {
            List1->lineEdit()->clear();
            QTest::keyClicks(List1->lineEdit(), text.remove(0, 1));
        }
        const auto install = [&] {
            if (List1->currentIndex() < 0)
                QTest::keyClick(f->window.get(), Qt::Key_I, Qt::AltModifier);
            return List1->currentIndex() < 0 ||
                   f->click("install") ==
                       (setup == "first run" || setup == "edited" ? refusal : "");
        };
#ifdef Q_OS_UNIX
        if (limit)
            QCOMPARE(inChild(install, limit, setup.startsWith("nobody")), limit < 0 ? -1 : 0);
        for (const QString &folder : {f->program, f->data})
            QVERIFY(QFile::setPermissions(folder, readOnly | QFile::WriteOwner));
#endif
        QVERIFY(limit || install());
        QTRY_COMPARE(f->text("Status"),
                     label.isEmpty() ? statusBefore : "'" + label + "' Installed");
        QCOMPARE(f->saveState(), setup == "first run" || setup == "edited" ? "Save*" : "Saved");
        QCOMPARE(List1->currentText(), text);
        const QString preset = f->program + "/configs/" + installed;
        QCOMPARE(read(game), installed.isEmpty()  ? before
                             : installed == "own" ? gameBytes
                                                  : read(preset));
        QCOMPARE(::entries(f->data), entries);
        QCOMPARE(QFileInfo(game).isSymLink(), setup.startsWith("link"));
        if (QFileInfo(game + ".orig").isFile())
            QCOMPARE(read(game + ".orig"), gameBytes);
    }

    // Each entry of the list installs the preset named after it, one the game can load: a line
    // of eight ped models for each of its 31 groups.
    void everyGroupInstallsItsPreset()
    {
        QVERIFY(QFile::remove(f->gameFile)); // so Default Peds has no copy to put back
        f->open((f->data + f->sep).toLocal8Bit());
        auto *List1 = f->get<QComboBox>("List1");
        QCOMPARE(List1->itemText(0) + "," + List1->itemText(14), "Default Peds,Workers");
        static const QRegularExpression group("^(\\w+, ){7}\\w+\r$",
                                              QRegularExpression::MultilineOption);
        for (int i = 0; i < List1->count(); ++i) {
            List1->setCurrentIndex(i);
            QCOMPARE(f->click("install"), "");
            QCOMPARE(f->text("Status"), "'" + List1->itemText(i) + "' Installed");
            const QString bytes = read(f->gameFile);
            QVERIFY(bytes.startsWith("# Quillfen preset: " + List1->itemText(i) + "\r\n"));
            QCOMPARE(bytes.count(group), 31);
        }
    }
};

QTEST_MAIN(tst_window)
#include "tst_window.moc"
