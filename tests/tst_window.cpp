// The whole window over a temporary program folder and game folder: what a player sees and
// what lands on disk. Each table ends in the faults only a POSIX system stages here: a write
// cut short by a file-size limit or a kill, a FIFO that would block an open, a folder that
// takes no new file.

#include "app/frmmain.h"
#include "app/platform.h"
#include "folder/settingfile.h"
#include "pedgroups/catalogue.h"

#include <QtTest>
#include <QtWidgets>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

namespace {
const QString sep = QDir::separator();
const QString pleaseSet = "|Please Set The GTA3 Data Folder|Save*";
const QString pathSet = "|Path Set. Please Select Your Peds|Saved";
const QString incorrectPath = "3|Error|Error! Incorrect Path. Please Correct This Problem.|OK";
const QByteArray gameBytes = QByteArray("MALE01, FEMALE01\r\n").repeated(300); // > any preset
#ifdef Q_OS_WIN
const QString firstRunFolder = "c:\\program files\\rockstar games\\gtaiii\\data";
#else
const QString firstRunFolder =
    QDir::homePath() + "/.wine/drive_c/Program Files/Rockstar Games/GTAIII/data";
#endif

// One row of a data table: its name, then a value for each column.
template <class... Values> void row(const QString &name, const Values &...values)
{
    (QTest::newRow(qPrintable(name)) << ... << values);
}

// The bytes of a regular file; a null array for anything else, a FIFO too.
QByteArray read(const QString &path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll().append("")
                                                                      : QByteArray();
}

// Makes a file of `bytes` at `path`; "/" makes a folder, "|" a FIFO.
bool make(const QString &path, const QByteArray &bytes)
{
#ifdef Q_OS_UNIX
    if (bytes == "|")
        return mkfifo(QFile::encodeName(path), 0600) == 0;
#endif
    QFile file(path);
    return QDir().mkpath(bytes == "/" ? path : QFileInfo(path).path()) &&
           (bytes == "/" || (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()));
}

#ifdef Q_OS_UNIX
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

private slots:
    void initTestCase()
    {
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
        QVERIFY(make(program + "/configs/path", "/") && make(data, "/"));
        boxes.clear();
    }

    void layoutIsAsDrawn()
    {
        open();
        QCOMPARE(window->windowTitle(), "Quillfen V1.1");
        QVERIFY(window->minimumSize() == QSize(305, 129) &&
                window->maximumSize() == QSize(305, 129));
        QCOMPARE(window->windowFlags() & ~(Qt::CustomizeWindowHint | Qt::WindowSystemMenuHint),
                 Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                     Qt::MSWindowsFixedSizeDialogHint);
        QVERIFY(window->windowIcon().availableSizes().contains(QSize(32, 32)));
        const QPoint screenCentre = window->screen()->availableGeometry().center();
        QVERIFY((window->frameGeometry().center() - screenCentre).manhattanLength() <= 2);
        QCOMPARE(platform::programFolder() + sep,
                 QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/"));

        // A label's size is 0x0 where it fits its caption, its height always; "dialog" is the
        // system's dialog font, "!" a bold, italic or hidden control.
        QStringList layout;
        for (const char *name :
             {"Frame1", "Label1", "text1", "save", "Label2", "List1", "install", "Status"}) {
            const QWidget *c = get(name);
            const QFont font = c->font();
            const bool label = qobject_cast<const QLabel *>(c), fits = c->size() == c->sizeHint();
            const QString caption = c->property("title").toString() +
                                    c->property("text").toString() +
                                    c->property("currentText").toString();
            layout << QString::asprintf(
                "%s in %s at %d,%d %dx%d %s%s: %s", name,
                qPrintable(c->parentWidget()->objectName()), c->x(), c->y(),
                label && fits ? 0 : c->width(), label ? 0 : c->height(),
                qPrintable(font == QApplication::font() ? "dialog"
                                                        : font.toString().section(',', 0, 1)),
                font.bold() || font.italic() || c->isHidden() ? " !" : "", qPrintable(caption));
        }
        QCOMPARE(layout,
                 QStringList({"Frame1 in frmmain at 8,0 289x121 Verdana,9: Quillfen By Marrowby",
                              "Label1 in Frame1 at 8,24 0x0 Verdana,8.25: GTA3 Data Folder:",
                              "text1 in Frame1 at 8,40 185x21 dialog: " + firstRunFolder,
                              "save in Frame1 at 200,40 81x21 Verdana,9: Save",
                              "Label2 in Frame1 at 8,64 0x0 Verdana,8.25: Choose Your Peds:",
                              "List1 in Frame1 at 8,80 185x21 dialog: Default Peds",
                              "install in Frame1 at 200,80 81x21 Verdana,9: &Install",
                              "Status in Frame1 at 3,104 286x0 Verdana,8.25: Please Set The GTA3 "
                              "Data Folder"}));
        // Each entry names the preset it installs.
        for (const catalogue::PedGroup &group : catalogue::pedGroups)
            QVERIFY(read(catalogue::presetPath(program, group))
                        .startsWith(QByteArray("# Quillfen preset: ") + group.label + "\r\n"));
        auto *List1 = get<QComboBox>("List1");
        QVERIFY(List1->currentIndex() == -1 && List1->itemText(0) == "Default Peds" &&
                get<QLineEdit>("text1")->maxLength() == INT_MAX &&
                get<QLabel>("Status")->alignment() & Qt::AlignHCenter &&
                get<QLabel>("Label1")->buddy() == get("text1") &&
                get<QLabel>("Label2")->buddy() == List1);

        // Install has the focus first; Tab goes round the four controls that take it.
        QString order;
        for (int i = 0; i < 5; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            order += QApplication::focusWidget()->objectName() + " ";
        QCOMPARE(order, "install save text1 List1 install ");
    }

    void startUpFollowsTheSettingFile_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("shown");
        row("first run", QByteArray(), firstRunFolder + pleaseSet);
        row("lines joined", QByteArray("c:\\gta3\r\n\\da\rta\\\n"), "c:\\gta3\\data\\" + pathSet);
        row("zero bytes", QByteArray(""), pathSet);
        row("UTF-8 behind its mark", QByteArray("\xef\xbb\xbf\xce\xbb\\"), "λ\\" + pathSet);
        // Far too long for a folder: the lines before the cut are offered, unsaved.
        row("a line, then 30 MB", "c:\\\r\n" + QByteArray(30 << 20, 'x'), "c:\\" + pleaseSet);
#ifdef Q_OS_UNIX
        row("a FIFO, which would block", QByteArray("|"), firstRunFolder + pleaseSet);
#endif
    }

    void startUpFollowsTheSettingFile()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, shown);
        open(stored);
        QCOMPARE(state(), shown);
        QCOMPARE(read(settingFile), stored == "|" ? QByteArray() : stored);
    }

    void saveChecksTheFolderAndStoresIt_data()
    {
        QTest::addColumn<QString>("made");    // in the data folder: a game file; "/" a folder
        QTest::addColumn<QString>("typed");   // after the data folder
        QTest::addColumn<QString>("message"); // none when the save succeeds
        const QString unstored =
            "3|Error|Error! Could Not Store The Data Folder. Please Check The configs" + sep +
            "path Folder.|OK";
        row("a folder with the game file", "pedgrp.dat", "", "");
        row("the saved text again: doubled separator", "pedgrp.dat", "/", "");
        row("the game file in upper case", "upper/PEDGRP.DAT", "/upper", "");
        row("letters in the code page", "café/pedgrp.dat", "/café", "");
        row("letters outside the code page", "Ελληνικά/pedgrp.dat", "/Ελληνικά", "");
        row("no game file", "empty/", "/empty", incorrectPath);
        row("a folder named like the game file", "pedgrp.dat/", "", incorrectPath);
        row("no configs/path folder to store it in", "pedgrp.dat", "", unstored);
#ifdef Q_OS_UNIX
        row("a FIFO as the game file, which would block", "pedgrp.dat|", "", incorrectPath);
#endif
    }

    void saveChecksTheFolderAndStoresIt()
    {
        QFETCH(QString, made);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        const bool special = made.endsWith('/') || made.endsWith('|'); // see make()
        QVERIFY(make(data + "/" + made.chopped(special),
                     special ? made.right(1).toLatin1() : gameBytes));
        const QString earlier = data + sep; // a refused folder leaves it in place
        open(message == incorrectPath ? earlier.toLocal8Bit() : QByteArray());
        QVERIFY(!message.contains("Store") || QDir(program + "/configs/path").removeRecursively());
        const QByteArray storedBefore = read(settingFile);
        get<QLineEdit>("text1")->setText(data + QDir::toNativeSeparators(typed));
        const QString saved = data + QDir::toNativeSeparators(typed) + sep;
        get<QPushButton>("save")->click();
        QCOMPARE(boxes.join(""), message);
        QCOMPARE(state(),
                 message.isEmpty() ? saved + pathSet : "|Path Set. Please Select Your Peds|Save*");
        // A folder that passed the check is the active one, though it could not be stored.
        QCOMPARE(window->activeDataFolder(), message == incorrectPath ? earlier : saved);
        // In the system code page, as earlier versions wrote it, wherever that holds the folder.
        const QByteArray stored = QString::fromLocal8Bit(saved.toLocal8Bit()) == saved
                                      ? saved.toLocal8Bit()
                                      : "\xef\xbb\xbf" + saved.toUtf8();
        QCOMPARE(read(settingFile), message.isEmpty() ? stored + "\r\n" : storedBefore);
    }

#ifdef Q_OS_UNIX
    void settingFileCutShortKeepsTheEarlierOne()
    {
        QVERIFY(make(settingFile, "earlier\r\n"));
        QCOMPARE(inChild([&] { return settingfile::write(program, QString(99, 'x')); }, 20), 1);
        QCOMPARE(read(settingFile) +
                     QDir(program + "/configs/path").entryList(QDir::Files).join(' '),
                 "earlier\r\nconfig.cfg");
    }
#endif

    void installPutsThePresetInPlace_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("text");      // chosen from the list; typed after a ">"
        QTest::addColumn<QString>("installed"); // the group on the status line; none: no install
        QTest::addColumn<QString>("files");     // in the data folder afterwards
        QTest::addColumn<int>("limit");         // in a child process, see inChild(); 0: not in one
        const QString both = "pedgrp.dat pedgrp.dat.orig", game = "pedgrp.dat";
        // With no game file to keep, each entry installs the preset named after it.
        for (const QString &label : catalogue::labels())
            row(label, "no game file", label, label, game, 0);
        row("refused before any save", "first run", "Gangs", "", game, 0);
        row("the first install keeps the game's file", "", "Gangs", "Gangs", both, 0);
        row("typed, installed with Alt+I", "", ">Italians", "Italians", both, 0);
        row("a later install leaves the copy alone", "kept", "Gangs", "Gangs", both, 0);
        row("Default Peds puts the copy back", "kept", "Default Peds", "Default Peds", both, 0);
        row("a text in another case puts it back", "kept", ">gangs", "Default Peds", both, 0);
        row("a trailing blank puts it back", "kept", ">Gangs ", "Default Peds", both, 0);
        row("the game file in upper case", "", "Pimps", "Pimps", "PEDGRP.DAT PEDGRP.DAT.orig", 0);
        // The copy is kept before the preset is found missing; it is the game's own all the same.
        row("preset missing", "no preset", "Gangs", "", both, 0);
        row("a folder as the game file", "/", "Gangs", "", game, 0);
        row("a read-only game file", "read-only", "Gangs", "", game, 0);
        // Were the path cut at the NUL, it would name the game file itself.
        row("a NUL in the saved folder", "nul", "Gangs", "", game, 0);
#ifdef Q_OS_UNIX
        const int size = QFileInfo(":/configs/gang war.dat").size();
        row("no room for the copy, room for the preset", "", "Gangs", "", game, size + 10);
        row("killed while writing the preset", "kept", "Gangs", "", both, -size / 2);
        row("a FIFO as the game file, which would block", "|", "Gangs", "", game, 0);
        row("a link to the game file stays one", "link", "Gangs", "Gangs", both + " real.dat", 0);
        row("a folder that takes no new file", "locked, kept", "Gangs", "Gangs", both, 1 << 20);
#endif
    }

    void installPutsThePresetInPlace()
    {
        QFETCH(QString, setup);
        QFETCH(QString, text);
        QFETCH(QString, installed);
        QFETCH(QString, files);
        QFETCH(int, limit);
        const QString game = data + "/" + files.section(' ', 0, 0), kept = game + ".orig";
        const bool locked = setup.startsWith("locked"), earlier = setup.endsWith("kept");
        QVERIFY(setup == "no game file" ||
                make(game, setup == "/" || setup == "|" ? setup.toLatin1()
                           : earlier                    ? "earlier"
                                                        : gameBytes));
        QVERIFY(!earlier || make(kept, gameBytes));
        QVERIFY(setup != "no preset" || QFile::remove(program + "/configs/gang war.dat"));
        // An uncommon mode, which the game file keeps however it is replaced.
        const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(!QFileInfo(game).isFile() ||
                QFile::setPermissions(game, setup == "read-only" ? QFile::ReadOwner : mode));
        QVERIFY(setup != "link" ||
                (QFile::rename(game, data + "/real.dat") && QFile::link("real.dat", game)));
        // No new file in the folders; the game file may be written by all, nobody included.
        const auto folders = {dir->path(), program, data};
        const auto readable =
            QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        for (const QString &folder : folders)
            QVERIFY(!locked || QFile::setPermissions(folder, readable));
        QVERIFY(!locked || QFile::setPermissions(game, QFile::ReadOwner | QFile::WriteOwner |
                                                           QFile::ReadOther | QFile::WriteOther));

        const QString nul = setup == "nul" ? "/pedgrp.dat" + QString(QChar(0)) : "";
        open(setup == "first run" ? QByteArray() : (data + nul + sep).toLocal8Bit());
        const QByteArray before = read(game);
        const QFile::Permissions permissions = QFileInfo(game).permissions();
        const QString statusBefore = state().section('|', 1, 1);
        auto *List1 = get<QComboBox>("List1");
        auto *install = get<QPushButton>("install");
        List1->setCurrentIndex(List1->findText(text));
        if (text.startsWith('>')) { // Enter neither adds the text to the list nor completes it
            List1->lineEdit()->clear();
            QTest::keyClicks(List1->lineEdit(), text.remove(0, 1));
            QTest::keyClick(List1->lineEdit(), Qt::Key_Return);
            QTest::keyClick(window.get(), Qt::Key_I, Qt::AltModifier);
        } else if (!limit) {
            install->click();
        }
#ifdef Q_OS_UNIX
        const auto installInChild = [&] { // locked folders lock out root only as nobody
            if (locked && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                return false;
            install->click();
            return boxes.isEmpty();
        };
        QVERIFY(!limit || inChild(installInChild, limit) == (limit < 0 ? -1 : 0));
#endif
        for (const QString &folder : folders)
            QVERIFY(QFile::setPermissions(folder, readable | QFile::WriteOwner));
        QTRY_COMPARE(
            state().section('|', 1),
            (installed.isEmpty() || limit ? statusBefore : "'" + installed + "' Installed") +
                (setup == "first run" ? "|Save*" : "|Saved"));
        QCOMPARE(boxes.join(""),
                 setup == "first run" ? "1||Please Set GTA3 Peds Group File First|OK" : "");
        QCOMPARE(List1->currentText() + " of " + QString::number(List1->count()), text + " of 15");
        const QString preset = catalogue::presetPath(program, catalogue::lookup(installed));
        QCOMPARE(read(game), installed.isEmpty()                                ? before
                             : installed == "Default Peds" && !before.isEmpty() ? gameBytes
                                                                                : read(preset));
        QCOMPARE(
            QDir(data).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).join(' '),
            files);
        QVERIFY(!QFileInfo(kept).isFile() || read(kept) == gameBytes);
        QVERIFY(before.isNull() || QFileInfo(game).permissions() == permissions);
        QCOMPARE(QFileInfo(game).isSymLink(), setup == "link");
    }
};

QTEST_MAIN(tst_window)
#include "tst_window.moc"
