// The whole window over a temporary program folder and game folder: what a player reads and
// what lands on disk. The faults only a POSIX system stages here close the save and install
// tables: a write cut short by a full disk or a kill, a FIFO that would block an open, a folder
// that takes no new file.

#include "app/frmmain.h"
#include "folder/settingfile.h"
#include "pedgroups/catalogue.h"

#include <QtTest>
#include <QtWidgets>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#endif

namespace {
const QString sep = QDir::separator();
const QString pleaseSet = "|Please Set The GTA3 Data Folder|Save*";
const QString pathSet = "|Path Set. Please Select Your Peds|Saved";
const QString incorrectPath = "3|Error|Error! Incorrect Path. Please Correct This Problem.|OK";
const QString unstored =
    "3|Error|Error! Could Not Store The Data Folder. Please Check The configs" + sep +
    "path Folder.|OK";
const QString firstRun = sep == "\\" ? "c:\\program files\\rockstar games\\gtaiii\\data"
                                     : QDir::homePath() + "/.wine/drive_c/Program Files (x86)" +
                                           "/Rockstar Games/GTAIII/data";
const QByteArray gameBytes = QByteArray("MALE01, FEMALE01\r\n").repeated(300); // > any preset
// A FIFO is a system entry.
const auto anyEntry = QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot;
// What make() puts at a path in place of a file.
const QByteArray aFolder = "<a folder>", aFifo = "<a FIFO>";

// One row of a data table: its name, then a value for each column.
template <class... Values> void row(const QString &name, const Values &...values)
{
    (QTest::newRow(qPrintable(name)) << ... << values);
}

// The bytes of a regular file; a null array for anything else, a FIFO too.
QByteArray read(const QString &path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QFile::ReadOnly) ? file.readAll() + ""
                                                                  : QByteArray();
}

// Makes a file of `bytes` at `path`, or aFolder or aFifo, and the folders on the way.
bool make(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!QDir().mkpath(bytes == aFolder ? path : QFileInfo(path).path()) || bytes == aFolder)
        return bytes == aFolder;
    if (bytes == aFifo)
        return QProcess::execute("mkfifo", {path}) == 0;
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

#ifdef Q_OS_UNIX
// Runs `job` in a child process whose files may not grow past |limit| bytes: past it a write
// fails, or kills the child when `limit` is negative. Returns 0 when the job succeeded, 1 when
// it failed, -1 when the child was killed, -2 when there was no child to run it.
template <class Job> int inChild(Job job, int limit)
{
    const pid_t pid = fork();
    const rlimit rl{rlim_t(std::abs(limit)), rlim_t(std::abs(limit))};
    if (pid == 0 && signal(SIGXFSZ, limit < 0 ? SIG_DFL : SIG_IGN) != SIG_ERR)
        _exit(setrlimit(RLIMIT_FSIZE, &rl) == 0 && job() ? 0 : 1);
    int status = 0, waited = pid > 0 && waitpid(pid, &status, 0) == pid;
    return !waited ? -2 : WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif
} // namespace

class tst_window : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    // Written the system's way, as a player types them, without a trailing separator.
    QString program, data, settingFile;
    std::unique_ptr<frmmain> window;
    QStringList boxes; // each message box shown, as "icon|title|text|OK"

    // The window over `stored` as the setting file, or over none.
    void open(const QByteArray &stored = {})
    {
        QVERIFY(stored.isNull() || make(settingFile, stored));
        window = std::make_unique<frmmain>(program);
        window->show();
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

private slots:
    void initTestCase()
    {
#ifdef Q_OS_UNIX
        // As a player, not as root, which writes into a folder whatever its mode; as root again at
        // exit, where LeakSanitizer looks into the process as its owner.
        QVERIFY(geteuid() != 0 ||
                (std::atexit([] { (void)!seteuid(0); }) == 0 && seteuid(65534) == 0));
#endif
        // Where the temporary folders are, so a relative folder reaches them, on every drive.
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
        // Message boxes are noted and closed as they open.
        auto *closer = new QTimer(this);
        connect(closer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxes
                    << QString("%1|%2|%3|").arg(box->icon()).arg(box->windowTitle(), box->text()) +
                           (box->standardButtons() == QMessageBox::Ok ? "OK" : "");
                box->close();
            }
        });
        closer->start(5);
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        program = QDir::toNativeSeparators(dir->filePath("quillfen"));
        data = QDir::toNativeSeparators(dir->filePath("gta3"));
        settingFile = program + "/configs/path/config.cfg";
        for (const QString &name : QDir(":/configs").entryList())
            QVERIFY(make(program + "/configs/" + name, read(":/configs/" + name)));
        QVERIFY(make(program + "/configs/path", aFolder) && make(data, aFolder));
        boxes.clear();
    }

    void startUpFollowsTheSettingFile_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("shown");
        row("first run", QByteArray(), firstRun + pleaseSet);
        row("lines joined", QByteArray("c:\\gta3\r\n\\da\rta\\\n"), "c:\\gta3\\data\\" + pathSet);
        row("zero bytes", QByteArray(""), pathSet);
        row("UTF-8 behind its mark", QByteArray("\xef\xbb\xbf\xce\xbb\\"), "λ\\" + pathSet);
        // Far too long for a folder: the lines before the cut are offered, unsaved.
        row("a line, then 30 MB", "c:\\\r\n" + QByteArray(30 << 20, 'x'), "c:\\" + pleaseSet);
    }

    void startUpFollowsTheSettingFile()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, shown);
        open(stored);
        QCOMPARE(window->windowTitle() + state(), "Quillfen V" QUILLFEN_VERSION + shown);
    }

    void saveChecksTheFolderAndStoresIt_data()
    {
        QTest::addColumn<QString>("made");    // in the data folder
        QTest::addColumn<QByteArray>("as");   // the game's bytes, aFolder or aFifo
        QTest::addColumn<QString>("typed");   // after the data folder
        QTest::addColumn<QString>("message"); // none when the save succeeds
        row("a folder with the game file", "pedgrp.dat", gameBytes, "", "");
        row("the saved text again: doubled separator", "pedgrp.dat", gameBytes, "/", "");
        row("the game file in upper case", "upper/PEDGRP.DAT", gameBytes, "/upper", "");
        row("letters in the code page", "café/pedgrp.dat", gameBytes, "/café", "");
        row("letters outside the code page", "Ελληνικά/pedgrp.dat", gameBytes, "/Ελληνικά", "");
        row("no game file", "empty", aFolder, "/empty", incorrectPath);
        row("a folder named like the game file", "pedgrp.dat", aFolder, "", incorrectPath);
        row("no configs/path folder to store it in", "pedgrp.dat", gameBytes, "", unstored);
#ifdef Q_OS_UNIX
        row("a FIFO as the game file, which would block", "pedgrp.dat", aFifo, "", incorrectPath);
        // A line end would split the stored folder in two.
        row("a line end in the folder", "a\nb/pedgrp.dat", gameBytes, "/a\nb", unstored);
#endif
    }

    void saveChecksTheFolderAndStoresIt()
    {
        QFETCH(QString, made);
        QFETCH(QByteArray, as);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QVERIFY(make(data + "/" + made, as));
        const QString earlier = data + sep; // a refused folder leaves it in place
        open(message == incorrectPath ? earlier.toLocal8Bit() : QByteArray());
        if (QByteArray(QTest::currentDataTag()).startsWith("no configs/path"))
            QVERIFY(QDir(program + "/configs/path").removeRecursively());
        const QByteArray storedBefore = read(settingFile);
        const QString saved = data + QDir::toNativeSeparators(typed) + sep;
        get<QLineEdit>("text1")->setText(saved.chopped(1));
        get<QPushButton>("save")->click();
        QCOMPARE(boxes.join("") + state(),
                 message + (message.isEmpty() ? saved + pathSet
                                              : "|Path Set. Please Select Your Peds|Save*"));
        // A folder that passed the check is the active one, though it could not be stored.
        QCOMPARE(window->activeDataFolder(), message == incorrectPath ? earlier : saved);
        // In the system code page, as earlier versions wrote it, wherever that holds the folder.
        const QByteArray local = saved.toLocal8Bit(), utf8 = "\xef\xbb\xbf" + saved.toUtf8();
        const QByteArray stored = QString::fromLocal8Bit(local) == saved ? local : utf8;
        QCOMPARE(read(settingFile), message.isEmpty() ? stored + "\r\n" : storedBefore);
    }

#ifdef Q_OS_UNIX
    void settingFileCutShortKeepsTheEarlierOne()
    {
        QVERIFY(make(settingFile, "earlier\r\n"));
        const auto write = [&] { return settingfile::write(program, QString(99, 'x')); };
        // Failed on a full disk, then killed part-way.
        QCOMPARE(QString("%1 %2").arg(inChild(write, 20)).arg(inChild(write, -20)), "1 -1");
        QCOMPARE(read(settingFile), "earlier\r\n");
    }
#endif

    void installPutsThePresetInPlace_data()
    {
        QTest::addColumn<QString>("setup"); // the game folder and the window before the click
        QTest::addColumn<QString>("text");  // chosen from the list; typed after a ">"
        QTest::addColumn<QString>("group"); // on the status line afterwards; none: no install
        QTest::addColumn<QString>("files"); // in the data folder afterwards
        QTest::addColumn<int>("limit");     // in a child process, see inChild(); 0: not in one
        const QString both = "pedgrp.dat pedgrp.dat.orig", game = "pedgrp.dat";
        // With no game file to keep, each entry installs the preset that names it.
        for (const QString &label : catalogue::labels())
            row(label, "no game file", label, label, game, 0);
        row("refused before any save", "first run", "Gangs", "", game, 0);
        row("refused after an edit", "edited", "Gangs", "", game, 0);
        row("the first install keeps the game's file", "game file", "Gangs", "Gangs", both, 0);
        row("typed, installed with Enter and Alt+I", "game file", ">Italians", "Italians", both, 0);
        row("a later install leaves the copy alone", "kept", "Gangs", "Gangs", both, 0);
        row("Default Peds puts the copy back", "kept", "Default Peds", "Default Peds", both, 0);
        row("a text in another case puts it back", "kept", ">gangs", "Default Peds", both, 0);
        row("a trailing blank puts it back", "kept", ">Gangs ", "Default Peds", both, 0);
        row("game file in capitals", "game file", "Scum", "Scum", "PEDGRP.DAT PEDGRP.DAT.orig", 0);
        // The copy is kept before the preset is found missing; it is the game's own all the same.
        row("preset missing", "no preset", "Gangs", "", both, 0);
        row("a folder as the game file", "a folder", "Gangs", "", game, 0);
        row("a read-only game file", "read-only", "Gangs", "", game, 0);
        row("a NUL in the saved folder", "a NUL", "Gangs", "", game, 0);
        // The game file is reached from the working folder, and nothing is written there.
        row("a relative saved folder", "relative", "Gangs", "", game, 0);
        // Each preset names itself: none is kept as the game's own groups, to be put back later.
        row("a preset is not kept", "a preset", "Italians", "Italians", game, 0);
#ifdef Q_OS_UNIX
        const int size = QFileInfo(":/configs/gang war.dat").size();
        row("no room for the copy, room for the preset", "game file", "Gangs", "", game, size + 10);
        row("killed while keeping the copy", "game file", "Gangs", "", game, -size - 10);
        row("no room for the whole preset", "kept", "Gangs", "", both, size / 2);
        row("killed while writing the preset", "kept", "Gangs", "", both, -size / 2);
        row("a FIFO as the game file, which would block", "a FIFO", "Gangs", "", game, 0);
        // Writing straight onto the game file could leave a mix of two files.
        row("a folder that takes no new file", "kept, no new file", "Gangs", "", both, 0);
#endif
    }

    void installPutsThePresetInPlace()
    {
        QFETCH(QString, setup);
        QFETCH(QString, text);
        QFETCH(QString, group);
        QFETCH(QString, files);
        QFETCH(int, limit);
        const QString game = data + "/" + files.section(' ', 0, 0), kept = game + ".orig";
        const QString gangWar = program + "/configs/gang war.dat";
        const QMap<QString, QByteArray> made{
            {"a folder", aFolder}, {"a FIFO", aFifo}, {"kept", "old"}, {"a preset", read(gangWar)}};
        QVERIFY(setup == "no game file" ||
                make(game, made.value(setup.section(',', 0, 0), gameBytes)));
        QVERIFY(!setup.startsWith("kept") || make(kept, gameBytes));
        QVERIFY(setup != "no preset" || QFile::remove(gangWar));
        QVERIFY(setup != "read-only" || QFile::setPermissions(game, QFile::ReadOwner));
        QVERIFY(!setup.endsWith("no new file") ||
                QFile::setPermissions(data, QFile::ReadOwner | QFile::ExeOwner));
        // Cut at the NUL, the path would name the game file; the relative one names it from the
        // working folder.
        const QMap<QString, QString> saved{{"a NUL", data + "/pedgrp.dat" + QChar(0)},
                                           {"relative", QDir::current().relativeFilePath(data)}};
        open(setup == "first run" ? QByteArray() : (saved.value(setup, data) + sep).toLocal8Bit());
        if (setup == "edited") // the folder as saved, less its last separator
            QTest::keyClick(get("text1"), Qt::Key_Backspace);
        const QByteArray before = read(game);
        const QString statusBefore = get<QLabel>("Status")->text();

        auto *List1 = get<QComboBox>("List1");
        const auto click = [&] { return get<QPushButton>("install")->click(), true; };
        List1->setCurrentIndex(List1->findText(text));
        if (text.startsWith('>')) { // Enter neither adds the text to the list nor completes it
            List1->lineEdit()->clear();
            QTest::keyClicks(List1->lineEdit(), text.remove(0, 1));
            QTest::keyClick(List1->lineEdit(), Qt::Key_Return);
            QTest::keyClick(window.get(), Qt::Key_I, Qt::AltModifier);
        } else if (!limit)
            click();
#ifdef Q_OS_UNIX
        QVERIFY(!limit || inChild(click, limit) == (limit < 0 ? -1 : 0));
#endif
        QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        const bool refused = setup == "first run" || setup == "edited";
        QTRY_COMPARE(boxes.join("") + state().section('|', 1),
                     (refused ? "1||Please Set GTA3 Peds Group File First|OK" : "") +
                         (group.isEmpty() || limit ? statusBefore : "'" + group + "' Installed") +
                         (refused ? "|Save*" : "|Saved"));
        QCOMPARE(List1->currentText() + " of " + QString::number(List1->count()), text + " of 15");
        // The preset of each group names the group in its first line.
        const auto preset = read(catalogue::presetPath(program, catalogue::lookup(group)));
        QVERIFY(group.isEmpty() || preset.startsWith("# Quillfen preset: " + group.toUtf8()));
        const bool restored = group == "Default Peds" && setup == "kept";
        QCOMPARE(read(game), group.isEmpty() ? before : restored ? gameBytes : preset);
        QCOMPARE(QDir(data).entryList(anyEntry).join(' '), files);
        QVERIFY(!QFileInfo(kept).isFile() || read(kept) == gameBytes);
    }
};

QTEST_MAIN(tst_window)
#include "tst_window.moc"
