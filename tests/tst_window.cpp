// The whole window over a temporary program folder and game folder: what a player reads and
// what lands on disk. The save and install tables close with rows that only POSIX systems stage
// here: a name that ends in a blank, a "~", a FIFO that would block an open, a folder that takes
// no new file; and so does the last test, of writes cut short by a full disk or a kill. The
// install and first-run tables also close with rows of Windows' own, run under Wine: the
// registry, a folder only an administrator writes, the VirtualStore.

#include "app/frmmain.h"
#include "folder/settingfile.h"
#include "pedgroups/catalogue.h"
#include "pedgroups/install.h"
#include "platform/platform.h"

#include <QtTest>
#include <QtWidgets>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>

// Runs `job` in a child process whose files may grow to `room` bytes: past that a write fails
// (a full disk), or the child is killed. Returns 0 when the job succeeded, 1 when it failed,
// -1 when the child was killed, -2 when there was no child to run it.
template <class Job> int inChild(Job job, qint64 room, bool kill)
{
    const pid_t pid = fork();
    const rlimit rl{rlim_t(room), rlim_t(room)};
    if (pid == 0 && signal(SIGXFSZ, kill ? SIG_DFL : SIG_IGN) != SIG_ERR)
        _exit(setrlimit(RLIMIT_FSIZE, &rl) == 0 && job() ? 0 : 1);
    int status = 0, waited = pid > 0 && waitpid(pid, &status, 0) == pid;
    return !waited ? -2 : WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

namespace {
const QString sep = QDir::separator();
const QString pleaseSet = "|Please Set The GTA3 Data Folder|Save*";
const QString pathSet = "|Path Set. Please Select Your Peds|Saved";
const QString incorrectPath = "3|Error|Error! Incorrect Path. Please Correct This Problem.|OK";
const QString unstored = QDir::toNativeSeparators(
    "3|Error|Error! Could Not Store The Data Folder. Please Check The configs/path Folder.|OK");
// See folder().
const QString firstRun = sep == "\\"
                             ? "c:\\program files (x86)\\rockstar games\\gtaiii\\data"
                             : "%4/.wine/drive_c/Program Files (x86)/Rockstar Games/GTAIII/data";
const QString refused = "1||Please Set GTA3 Peds Group File First|OK";
const QString cannotInstall = "3|Error|Error! Could Not Install 'Gangs'. Please ";
const QString notWritten = cannotInstall + "Check That The GTA3 Data Folder Can Be Written.|OK";
const QString noPreset = QDir::toNativeSeparators(cannotInstall + "Check configs/gang war.dat.|OK");
const QString saveAgain = cannotInstall + "Save The GTA3 Data Folder Again.|OK";
const QString askAdmin = "4|Administrator|Windows Lets Only An Administrator Write The GTA3 Data "
                         "Folder. Start Quillfen As Administrator?|Yes/No";
const QByteArray gameBytes = QByteArray("MALE01, FEMALE01\r\n").repeated(300); // > any preset
// A FIFO is a system entry.
const auto anyEntry = QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot;
// What make() puts at a path in place of a file.
const QByteArray aFolder = "<a folder>", aFifo = "<a FIFO>";
#ifdef Q_OS_WIN
// Where Steam names its folder, in the user's key and in the machine's; then the game's folder as
// Rockstar's launcher, Steam's uninstall entry and the disc's installer record it. The machine's
// are in its 32-bit view.
const struct
{
    QString key;
    QSettings::Format view;
    QString name;
} registry[] = {
    {"HKEY_CURRENT_USER\\Software\\Valve\\Steam", QSettings::NativeFormat, "SteamPath"},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam", QSettings::Registry32Format, "InstallPath"},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Rockstar Games\\Grand Theft Auto III",
     QSettings::Registry32Format, "InstallFolder"},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 12100",
     QSettings::Registry32Format, "InstallLocation"},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Rockstar Games\\GTAIII", QSettings::Registry32Format, "Path"}};

// The search reads the machine's registry, where only the suite's own Wine prefix may be given
// made-up keys: a developer's own Steam and game stay as they are.
bool inOwnPrefix()
{
#ifdef SUITE_WINE_PREFIX
    // As the suite was started: each test unsets WINEPREFIX for the search.
    static const QString prefix = qEnvironmentVariable("WINEPREFIX");
    return prefix == QLatin1String(SUITE_WINE_PREFIX);
#else
    return false;
#endif
}
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

// What stands in the game folder, and how the window was opened, before an install: the
// game's own file; that and a copy kept by an earlier install; no folder saved yet; the saved
// folder edited after the desktop gave Save an access key; the preset of Gangs deleted; a
// folder, a FIFO or a preset as the game file, or a read-only one; as the game file a link to
// a preset or to a file elsewhere; a kept copy that links to nowhere, or in a folder that takes
// no new file; or as the saved folder, one gone, one ending in a NUL, an empty one, one
// relative to the working folder, one from the current folder of its drive ("c:gta3"); or
// Quillfen unpacked into the game's folder, beside its data folder; on Windows a data folder
// that only an administrator may write, answered No or Yes, and one under Program Files whose
// copy in the VirtualStore the game reads.
// clang-format off
enum Setup { NoGameFile, GameFile, Kept, FirstRun, Edited, NoPreset, AFolder, AFifo, APreset,
             ReadOnly, LinkToPreset, LinkElsewhere, DanglingKept, NoNewFile, Gone, ANul, Empty,
             Relative, FromDrive, InGameFolder, OnlyAdmin, OnlyAdminYes, VirtualStore };
// clang-format on
} // namespace

Q_DECLARE_METATYPE(Setup)

class tst_window : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    // Written the system's way, as a player types them, without a trailing separator.
    QString program, data, settingFile;
    std::unique_ptr<frmmain> window;
    QStringList boxes; // each message box shown, as "icon|title|text|OK", or "...|Yes/No" with No
                       // the default
    QMessageBox::StandardButton answer; // to a question; otherwise it is closed

    // The window over `stored` as the setting file, or over none; `then` runs before it shows.
    void open(const QByteArray &stored = {}, const std::function<void()> &then = {})
    {
        QVERIFY(stored.isNull() || make(settingFile, stored));
        window = std::make_unique<frmmain>(program);
        if (then)
            then();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    template <class T = QWidget> T *get(const char *name) { return window->findChild<T *>(name); }

    // `text` with %1 for the data folder, %2 for the same from the working folder, %3 for the
    // same less its drive and %4 for the home folder, in the system's form; %5 for the address
    // of "λ games" in the data folder.
    QString folder(QString text)
    {
        text.replace("%2", QDir::current().relativeFilePath(data)).replace("%3", data.mid(2));
        text.replace("%4", dir->path());
        text = QDir::toNativeSeparators(text.replace("%1", data));
        // As a file manager copies a folder: percent-encoded UTF-8 after file:///.
        return text.replace(
            "%5", QUrl::fromLocalFile(QDir::fromNativeSeparators(data) + "/λ games").toEncoded());
    }

    // `text` with ~ for the home folder, $S for the Steam folder looked in first and $P for a
    // Program Files folder, each as Windows or Wine has it. Steam's listings name
    // Windows' folders with "\\" escaped.
    QString expand(QString text, bool listing = false)
    {
#ifdef Q_OS_WIN
        text.replace("$S", "~/pf86/Steam").replace("$P", "~/pf");
        const QString home = QDir::toNativeSeparators(dir->path()).replace("\\", "\\\\");
#else
        text.replace("$S", "~/.local/share/Steam").replace("$P", "~/.wine/drive_c/Program Files");
        const QString home = dir->path();
#endif
        return text.replace("~", listing ? home : dir->path());
    }

    // Makes what `entry` says, after expand(): "env:NAME=VALUE" an environment variable;
    // "reg:N=VALUE" the value of registry[N]; "cfg:FOLDER" the setting file; "PATH*" a game
    // folder; "PATH->TARGET" a link; "PATH=TEXT" a file, or a FIFO, a binary file or a listing
    // nested 100,000 deep for <FIFO>, <binary> or <deep>, and TEXT<huge> that text made far too
    // large.
    bool makeEntry(const QString &entry)
    {
        const QString name = expand(entry.section('=', 0, 0)), text = entry.section('=', 1, -1);
        if (name.startsWith("env:"))
            return qputenv(qPrintable(name.mid(4)), QFile::encodeName(expand(text)));
        if (name.startsWith("cfg:"))
            return make(settingFile, QDir::toNativeSeparators(name.mid(4)).toLocal8Bit() + "\r\n");
        if (name.contains("->"))
            return make(name.section("->", 0, 0), aFolder) &&
                   QDir(name.section("->", 0, 0)).removeRecursively() &&
                   QFile::link(name.section("->", 1), name.section("->", 0, 0));
#ifdef Q_OS_WIN
        if (name.startsWith("reg:")) {
            const auto &key = registry[name.mid(4).toInt()];
            QSettings(key.key, key.view).setValue(key.name, expand(text));
            return true;
        }
#endif
        if (name.endsWith('*'))
            return make(name.chopped(1) + "/gta3.exe", "") &&
                   make(name.chopped(1) + "/data/pedgrp.dat", gameBytes);
        const bool huge = text.endsWith("<huge>");
        QByteArray bytes = expand(huge ? text.chopped(6) : text, true).toUtf8();
        for (int i = 0; text == "<binary>" && i < 1024; ++i)
            bytes += char(i * 7);
        if (text == "<deep>")
            bytes = "\"libraryfolders\" {" + QByteArray("a{").repeated(100000);
        return make(name, text == "<FIFO>" ? aFifo : bytes) &&
               (!huge || QFile(name).resize(qint64(1) << 30));
    }

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
#ifdef Q_OS_WIN
        inOwnPrefix();
#endif
        // Where the temporary folders are, so a relative folder reaches them, on every drive.
        QVERIFY(QDir::setCurrent(QDir::tempPath()));
        // Message boxes are noted and closed as they open.
        auto *closer = new QTimer(this);
        connect(closer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                const bool yesNo = box->standardButtons() == (QMessageBox::Yes | QMessageBox::No) &&
                                   box->defaultButton() == box->button(QMessageBox::No);
                const QString ok = box->standardButtons() == QMessageBox::Ok ? "OK"
                                   : yesNo                                   ? "Yes/No"
                                                                             : "";
                boxes << QString("%1|%2|%3|%4")
                             .arg(box->icon())
                             .arg(box->windowTitle(), box->text(), ok);
                if (box->button(answer))
                    box->button(answer)->click();
                else
                    box->close();
            }
        });
        closer->start(5);
        // A window that starts the program again closes, which must not end the suite.
        QApplication::setQuitOnLastWindowClosed(false);
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
        answer = QMessageBox::NoButton;
        // A first run looks for the game here, and nowhere on the machine.
        qputenv("HOME", QFile::encodeName(dir->path()));
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("WINEPREFIX");
#ifdef Q_OS_WIN
        qputenv("ProgramFiles(x86)", QFile::encodeName(dir->filePath("pf86")));
        qputenv("ProgramFiles", QFile::encodeName(dir->filePath("pf")));
        qputenv("LOCALAPPDATA", QFile::encodeName(dir->filePath("local")));
        for (const auto &key : registry) {
            if (inOwnPrefix())
                QSettings(key.key, key.view).remove("");
        }
#endif
    }

    void startUpFollowsTheSettingFile_data()
    {
        QTest::addColumn<QByteArray>("stored"); // or, when there is a game file, the data folder
        QTest::addColumn<QByteArray>("game");
        QTest::addColumn<QString>("chosen"); // from the list as the window opens
        QTest::addColumn<QString>("shown"); // then the group in the list; a ">" before what follows
        const QByteArray none;
        const QString peds = "|Default Peds", then = ">";
        row("first run", none, none, "", firstRun + pleaseSet + peds);
        row("lines joined", QByteArray("%1\r\n/da\rta/\n"), none, "", "%1/data/" + pathSet + peds);
        row("zero bytes", QByteArray(""), none, "", pathSet + peds);
        row("UTF-8 behind its mark", QByteArray("\xef\xbb\xbf\xce\xbb\\"), none, "",
            "λ\\" + pathSet + peds);
        // A line, then far too much for a folder, if only line ends: the line is offered, unsaved.
        row("then 30 MB of line ends", "c:\\\r\n" + QByteArray(30 << 20, '\n'), none, "",
            "c:\\" + pleaseSet + peds);
        // A player coming back is told which group the game holds, once it is read beside the
        // window, and it is the one Install puts in again.
        const QByteArray gangs = read(":/configs/gang war.dat");
        const QString atOnce = "%1/" + pathSet + peds + then;
        row("a preset in the game folder", none, gangs, "",
            atOnce + "%1/|'Gangs' Installed|Saved|Gangs");
        row("a preset, and another group chosen", none, gangs, "Scum",
            "%1/" + pathSet + "|Scum>%1/|'Gangs' Installed|Saved|Scum");
        row("the game's own file", none, gameBytes, "", "%1/" + pathSet + peds);
        row("a preset's label in another case", none, QByteArray("# Quillfen preset: gangs\r\n"),
            "", "%1/" + pathSet + peds);
        // Moved, uninstalled or unplugged: unsaved, and nothing stored until Save.
        row("the saved folder gone", QByteArray("%1/gone/"), none, "",
            "%1/gone/" + pathSet + peds + then + "%1/gone/" + pleaseSet + peds);
    }

    void startUpFollowsTheSettingFile()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, game);
        QFETCH(QString, chosen);
        QFETCH(QString, shown);
        QVERIFY(game.isNull() || make(data + "/pedgrp.dat", game));
        QVERIFY(make(data + "/data", aFolder));
        if (!game.isNull() || stored.contains("%1"))
            stored = folder(game.isNull() ? stored : "%1/").toLocal8Bit();
        const auto List1 = [this] { return get<QComboBox>("List1"); };
        const auto seen = [&] { return state() + "|" + List1()->currentText(); };
        QString atOnce;
        open(stored, [&] {
            if (!chosen.isEmpty())
                List1()->setCurrentIndex(List1()->findText(chosen));
            atOnce = seen();
        });
        QCOMPARE(window->windowTitle(), "Quillfen V" QUILLFEN_VERSION);
        QCOMPARE(atOnce, folder(shown.section('>', 0, 0)));
        QTRY_VERIFY(!window->startingUp());
        QCOMPARE(seen(), folder(shown.section('>', -1)));
        QCOMPARE(read(settingFile), stored.isNull() ? QByteArray() : stored);
    }

    void saveChecksTheFolderAndStoresIt_data()
    {
        QTest::addColumn<QString>("made");    // in the data folder
        QTest::addColumn<QByteArray>("as");   // the game's bytes, aFolder or aFifo
        QTest::addColumn<QString>("typed");   // see folder()
        QTest::addColumn<bool>("storable");   // configs/path is there to store it in
        QTest::addColumn<QString>("saved");   // the active folder afterwards; none: unchanged
        QTest::addColumn<QString>("message"); // none when the save succeeds
        const QByteArray game = gameBytes;
        row("a folder with the game file", "pedgrp.dat", game, "%1", true, "%1/", "");
        row("the saved text again: doubled separator", "pedgrp.dat", game, "%1/", true, "%1//", "");
        row("the game file in capitals", "up/PEDGRP.DAT", game, "%1/up", true, "%1/up/", "");
        row("letters in the code page", "café/pedgrp.dat", game, "%1/café", true, "%1/café/", "");
        row("letters outside the code page", "λ/pedgrp.dat", game, "%1/λ", true, "%1/λ/", "");
        // Blanks and line ends go first, then Explorer's quotes.
        row("pasted with quotes and blanks", "pedgrp.dat", game, " \t\"%1\"\r\n", true, "%1/", "");
        row("a file: address", "λ games/pedgrp.dat", game, " %5\n", true, "%1/λ games/", "");
        // The game's folder, gta3.exe or pedgrp.dat, as handed over from a file manager.
        row("the game's folder", "Data/pedgrp.dat", game, "%1", true, "%1/Data/", "");
        row("pedgrp.dat itself", "pedgrp.dat", game, "\"%1/pedgrp.dat\"", true, "%1/", "");
        row("gta3.exe", "gta3.exe|data/pedgrp.dat", game, "%1/gta3.exe", true, "%1/data/", "");
        row("another file of the game's", "readme.txt", game, "%1/readme.txt", true, "",
            incorrectPath);
        row("no game file", "empty", aFolder, "%1/empty", true, "", incorrectPath);
        row("a folder as the game file", "pedgrp.dat", aFolder, "%1", true, "", incorrectPath);
        row("a relative folder", "pedgrp.dat", game, "%2", true, "", incorrectPath);
        row("no configs/path to store it in", "pedgrp.dat", game, "%1", false, "%1/", unstored);
        // On Windows this depends on the current drive; elsewhere it is relative as well.
        row("a folder on the current drive", "pedgrp.dat", game, "%3", true, "", incorrectPath);
#ifdef Q_OS_UNIX
        row("a name ending in a blank", "b /pedgrp.dat", game, "%1/b ", true, "%1/b /", "");
        row("~ for the home folder", "pedgrp.dat", game, "~/gta3", true, "%1/", "");
        // An open would block the window.
        row("a FIFO as the game file", "pedgrp.dat", aFifo, "%1", true, "", incorrectPath);
        // A line end would split the stored folder in two.
        row("a line end in it", "a\nb/pedgrp.dat", game, "%1/a\nb", true, "%1/a\nb/", unstored);
#endif
    }

    void saveChecksTheFolderAndStoresIt()
    {
        QFETCH(QString, made);
        QFETCH(QByteArray, as);
        QFETCH(QString, typed);
        QFETCH(bool, storable);
        QFETCH(QString, saved);
        QFETCH(QString, message);
        for (const QString &path : made.split('|'))
            QVERIFY(make(data + "/" + path, as));
        const QString earlier = data + sep; // a refused folder leaves it in place
        const QByteArray storedBefore = saved.isEmpty() ? earlier.toLocal8Bit() : QByteArray();
        open(storedBefore);
        QVERIFY(storable || QDir(program + "/configs/path").removeRecursively());
        get<QLineEdit>("text1")->setText(folder(typed));
        get("save")->setFocus(); // and pressed by keyboard, as it hands the focus on
        QTest::keyClick(get("save"), Qt::Key_Space);
        saved = folder(saved);
        QCOMPARE(boxes.join("") + state(),
                 message + (message.isEmpty() ? saved + pathSet
                                              : "|Path Set. Please Select Your Peds|Save*"));
        QCOMPARE(window->activeDataFolder(), saved.isEmpty() ? earlier : saved);
        // In the system code page, as earlier versions wrote it, wherever that holds the folder.
        const QByteArray local = saved.toLocal8Bit(), utf8 = "\xef\xbb\xbf" + saved.toUtf8();
        const QByteArray stored = QString::fromLocal8Bit(local) == saved ? local : utf8;
        QCOMPARE(read(settingFile), message.isEmpty() ? stored + "\r\n" : storedBefore);
        // The list is next: a group typed at once replaces the one shown.
        QTest::keyClicks(window->focusWidget(), "Scum");
        QCOMPARE(get<QComboBox>("List1")->currentText(),
                 message.isEmpty() ? "Scum" : "Default Peds");
    }

    void firstRunOffersTheInstalledGame_data()
    {
        QTest::addColumn<QStringList>("made"); // see makeEntry()
        QTest::addColumn<QString>("typed");    // into the folder box as the window opens
        QTest::addColumn<QString>("found");    // the data folder offered; none: the default one
        const QString gta3 = "steamapps/common/Grand Theft Auto 3", steam = "$S/" + gta3;
        const QString lib = "~/lib/" + gta3, disc = "$P/Rockstar Games/GTAIII";
        const QString listing = "$S/steamapps/libraryfolders.vdf=",
                      config = "$S/config/libraryfolders.vdf=";
        // The shapes of Steam's list of libraries: before mid-2021, then from then on, and now.
        const QString before = R"("LibraryFolders" { "TimeNextStatsReport" "16" "1" "~/lib" })";
        const QString then = R"("libraryfolders" { "1" { "path" "~/lib" "mounted" "1" } })";
        const QString now = R"(// Steam's own
"libraryfolders" { "0" { "path" "$S" "apps" { "7" "1" } } "1" { "path" "~/lib" "apps" { "12100" "1" } } })";
        const QStringList none;
        row("nothing installed", none, "", "");
        row("in the Steam folder", QStringList{steam + "*"}, "", steam + "/data");
        row("typed before the search ends", QStringList{steam + "*"}, "x", "");
        row("a library listed before mid-2021", QStringList{listing + before, lib + "*"}, "",
            lib + "/data");
        row("a library listed in config/", QStringList{config + then, lib + "*"}, "",
            lib + "/data");
        row("a library listed after Steam's own", QStringList{listing + now, lib + "*"}, "",
            lib + "/data");
        const QString gone =
            R"("libraryfolders" { "1" { "path" "~/gone" } "2" { "path" "~/lib" } })";
        row("a library that is gone", QStringList{listing + gone, lib + "*"}, "", lib + "/data");
        const QString elsewhere = R"("AppState" { "appid" "12100" "installdir" "GTA III" })";
        row("an installdir of its own",
            QStringList{"$S/steamapps/appmanifest_12100.acf=" + elsewhere,
                        "$S/steamapps/common/GTA III*"},
            "", "$S/steamapps/common/GTA III/data");
        row("names in other cases", QStringList{steam + "/GTA3.EXE=", steam + "/Data/PEDGRP.DAT="},
            "", steam + "/Data");
        const QString definitive = R"("AppState" { "appid" "1546970" "installdir" "GTA Trilogy" })";
        row("the Definitive Edition alone",
            QStringList{"$S/steamapps/appmanifest_1546970.acf=" + definitive,
                        "$S/steamapps/common/GTA Trilogy/Gameface/gta3.exe="},
            "", "");
        row("the disc's install", QStringList{disc + "*"}, "", disc + "/data");
        row("Steam's before the disc's", QStringList{disc + "*", steam + "*"}, "", steam + "/data");
        row("a game without pedgrp.dat", QStringList{steam + "/gta3.exe=", disc + "*"}, "",
            disc + "/data");
        row("a game without gta3.exe", QStringList{steam + "/data/pedgrp.dat=", disc + "*"}, "",
            disc + "/data");
        const QString up = R"("AppState" { "installdir" ".." })";
        row("an installdir out of the library",
            QStringList{"$S/steamapps/appmanifest_12100.acf=" + up, "$S/steamapps*",
                        "$S/steamapps/common/other/gta3.exe="},
            "", "");
        // Old libraries name Steam's folders in capitals, and a manifest may not match the case.
        const QString cased = R"("AppState" { "installdir" "gta iii" })";
        row("SteamApps, and an installdir in another case",
            QStringList{listing + then, "~/lib/SteamApps/appmanifest_12100.acf=" + cased,
                        "~/lib/SteamApps/common/GTA III*"},
            "", "~/lib/SteamApps/common/GTA III/data");
        // The folder offered is the real one, however Steam names it.
        row("a library listed with a separator at its end",
            QStringList{listing + QString(then).replace("~/lib", "~/lib/"), lib + "*"}, "",
            lib + "/data");
        // Steam's files as they may be found: none of them holds the window up or stops the search,
        // and what cannot be read ends the read.
        row("a listing cut short",
            QStringList{listing + then.left(then.indexOf("~") + 6), lib + "*"}, "", lib + "/data");
        row("a listing cut in a path",
            QStringList{listing + then.left(then.indexOf("~") + 5), lib + "*"}, "", "");
        const QString keyless = R"("libraryfolders" { "0" { "path" "~/x" { "1" "~/lib" } })";
        row("a block without a key", QStringList{listing + keyless, lib + "*"}, "", "");
        row("a listing nested 100,000 deep", QStringList{config + "<deep>", steam + "*"}, "",
            steam + "/data");
        row("a binary listing", QStringList{config + "<binary>", steam + "*"}, "", steam + "/data");
        // Not Steam's, and not read: a gigabyte would be held in memory.
        row("a listing far too large", QStringList{config + then + "<huge>", lib + "*"}, "", "");
        // A saved folder that is gone: a first run, offering the game where it is now.
        row("the saved folder gone", QStringList{"cfg:~/gone/", steam + "*"}, "", steam + "/data");
        // Rockstar's launcher's folder.
        const QString launcher = "$P/Rockstar Games/Grand Theft Auto III";
        row("the launcher's folder", QStringList{launcher + "*"}, "", launcher + "/data");
#ifdef Q_OS_UNIX
        row("Steam in XDG_DATA_HOME",
            QStringList{"env:XDG_DATA_HOME=~/xdg", "~/xdg/Steam/" + gta3 + "*"}, "",
            "~/xdg/Steam/" + gta3 + "/data");
        // Its sandbox names its own folder and its home as if they were the user's.
        const QString flatpak = "~/.var/app/com.valvesoftware.Steam";
        const QString sandboxed =
            R"("libraryfolders" { "0" { "path" "~/.local/share/Steam" } "1" { "path" "~/Games" } })";
        row("a library in the Flatpak Steam's home",
            QStringList{flatpak + "/.local/share/Steam/steamapps/libraryfolders.vdf=" + sandboxed,
                        flatpak + "/Games/" + gta3 + "*"},
            "", flatpak + "/Games/" + gta3 + "/data");
        const QString prefix = "~/pfx/drive_c/Program Files (x86)/Rockstar Games/GTAIII";
        row("the disc's install in WINEPREFIX", QStringList{"env:WINEPREFIX=~/pfx", prefix + "*"},
            "", prefix + "/data");
        row("Steam through its link", QStringList{"~/.steam/root->~/real", "~/real/" + gta3 + "*"},
            "", "~/real/" + gta3 + "/data");
        // The Wine prefixes of game managers, and Proton's in a second library.
        const QString inPrefix = "/drive_c/Program Files (x86)/Rockstar Games/GTAIII";
        const QString lutris = "~/Games/gta-iii" + inPrefix, proton = "~/lib/steamapps/compatdata/9"
                                                                      "/pfx" +
                                                                      inPrefix;
        const QString bottles =
            "~/.local/share/bottles/bottles/GTA/drive_c/Program Files/Rockstar Games/GTAIII";
        row("a Lutris prefix", QStringList{lutris + "*"}, "", lutris + "/data");
        row("a Bottles prefix", QStringList{bottles + "*"}, "", bottles + "/data");
        row("a Proton prefix in a second library", QStringList{listing + then, proton + "*"}, "",
            proton + "/data");
        row("Steam's before a prefix's", QStringList{lutris + "*", steam + "*"}, "",
            steam + "/data");
        row("a folder of prefixes holding junk",
            QStringList{"~/Games/a=<FIFO>", "~/Games/b->~/Games/b", "~/Games/c=junk",
                        "~/Games/d/drive_c=<FIFO>", "~/Games/e->~/Games/a", lutris + "*"},
            "", lutris + "/data");
#else
        // Steam writes its own folder in lower case; the folder is offered as it is on disk.
        row("Steam named by the user's registry",
            QStringList{"reg:0=~/steam", "~/Steam/" + gta3 + "*"}, "", "~/Steam/" + gta3 + "/data");
        row("Steam named by the machine's", QStringList{"reg:1=~/steam", "~/steam/" + gta3 + "*"},
            "", "~/steam/" + gta3 + "/data");
        row("the launcher's key", QStringList{"reg:2=~/rgl", "~/rgl*"}, "", "~/rgl/data");
        row("Steam's uninstall entry", QStringList{"reg:3=~/su", "~/su*"}, "", "~/su/data");
        row("the installer's key", QStringList{"reg:4=~/cd", "~/cd*"}, "", "~/cd/data");
        row("Steam's before the launcher's", QStringList{"reg:2=~/rgl", "~/rgl*", steam + "*"}, "",
            steam + "/data");
#endif
    }

    void firstRunOffersTheInstalledGame()
    {
        QFETCH(QStringList, made);
        QFETCH(QString, typed);
        QFETCH(QString, found);
#ifdef Q_OS_WIN
        if (!inOwnPrefix())
            QSKIP("The search reads the machine's registry: run under tests/wine.sh");
#endif
        for (const QString &entry : made)
            QVERIFY2(makeEntry(entry), qPrintable(entry));
        const QByteArray stored = read(settingFile);
        const QString shown =
            stored.isNull() ? folder(firstRun) : QString::fromLocal8Bit(stored).trimmed();
        open(stored, [&] { QTest::keyClicks(get("text1"), typed); });
        QTRY_VERIFY(!window->startingUp());
        // Nothing is stored until the player saves.
        QCOMPARE(state(), (found.isEmpty() ? shown : folder(expand(found))) + typed + pleaseSet);
        QCOMPARE(read(settingFile), stored);
    }

    void aDropFillsTheFolderBox_data()
    {
        QTest::addColumn<QStringList>("dropped"); // paths from %1, addresses, or "text:" and text
        QTest::addColumn<QString>("saved"); // by Save afterwards; none: the drop changes nothing
        // What Save takes of a path is the save table's.
        row("gta3.exe", QStringList{"%1/gta3.exe"}, "%1/data/");
        row("two files", QStringList{"%1/gta3.exe", "%1/data/pedgrp.dat"}, "");
        row("another file", QStringList{"%1/readme.txt"}, "");
        row("a web address", QStringList{"https://example.org/gta3.exe"}, "");
        row("text naming the folder", QStringList{"text:%1"}, "");
    }

    void aDropFillsTheFolderBox()
    {
        QFETCH(QStringList, dropped);
        QFETCH(QString, saved);
        for (const char *name : {"gta3.exe", "readme.txt", "data/pedgrp.dat"})
            QVERIFY(make(data + "/" + name, gameBytes));
        const QString before = folder("%1/data/");
        open(before.toLocal8Bit());
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString &item : dropped) {
            if (item.startsWith("text:"))
                mime.setText(folder(item.mid(5)));
            else
                urls << (item.contains("://") ? QUrl(item)
                                              : QUrl::fromLocalFile(data + item.mid(2)));
        }
        mime.setUrls(urls);
        // Over the folder box, which hands it to the window.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(get("text1"), &enter);
        if (enter.isAccepted())
            QApplication::sendEvent(get("text1"), &drop);
        QCOMPARE(state(), saved.isEmpty() ? before + pathSet
                                          : folder(dropped.first()) +
                                                "|Path Set. Please Select Your Peds|Save*");
        QTest::mouseClick(get("save"), Qt::LeftButton);
        QCOMPARE(window->activeDataFolder(), saved.isEmpty() ? before : folder(saved));
    }

#ifdef Q_OS_UNIX
    // A full disk or a kill part-way through a write: the setting file, the game's file while its
    // copy is kept, and while the preset goes over it, are each left as they were.
    void aWriteCutShortLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<bool>("kill");
        row("on a full disk", false);
        row("killed", true);
    }

    void aWriteCutShortLeavesTheFileAsItWas()
    {
        QFETCH(bool, kill);
        const QString game = data + "/pedgrp.dat";
        const qint64 preset = QFileInfo(":/configs/gang war.dat").size(), cut = kill ? -1 : 1;
        QVERIFY(make(settingFile, "earlier\r\n") && make(game, gameBytes)); // a game file > preset
        const auto store = [&] { return settingfile::write(program, QString(99, 'x')); };
        const auto install = [&] {
            return pedgroups::install(program, catalogue::lookup("Gangs"), data + sep).outcome ==
                   pedgroups::Outcome::Installed;
        };
        QCOMPARE(inChild(store, 20, kill), cut);
        // First while the copy is kept, then with the copy there, while the preset is written.
        QCOMPARE(inChild(install, preset + 10, kill), cut);
        QCOMPARE(QDir(data).entryList(anyEntry).join(' '), "pedgrp.dat");
        QVERIFY(make(game + ".orig", gameBytes));
        QCOMPARE(inChild(install, preset / 2, kill), cut);
        QCOMPARE(QDir(data).entryList(anyEntry).join(' '), "pedgrp.dat pedgrp.dat.orig");
        QCOMPARE(read(settingFile) + read(game), "earlier\r\n" + gameBytes);
    }
#endif

    void installPutsThePresetInPlace_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("text");    // chosen from the list; typed after a ">"
        QTest::addColumn<QString>("outcome"); // the group installed, or the message shown
        QTest::addColumn<QString>("files");   // in the data folder afterwards
        const QString both = "pedgrp.dat pedgrp.dat.orig", game = "pedgrp.dat";
        // With no game file to keep, each entry installs the preset that names it.
        for (const QString &label : catalogue::labels())
            row(label, NoGameFile, label, label, game);
        row("refused before any save", FirstRun, "Gangs", refused, game);
        row("refused after an edit", Edited, "Gangs", refused, game);
        row("the first install keeps the game's file", GameFile, "Gangs", "Gangs", both);
        row("typed, then Enter", GameFile, ">Italians", "Italians", both);
        row("a later install leaves the copy alone", Kept, "Gangs", "Gangs", both);
        row("Default Peds puts the copy back", Kept, "Default Peds", "Default Peds", both);
        row("Default Peds leaves the game's own", GameFile, "Default Peds", "Default Peds", both);
        row("a text in another case puts it back", Kept, ">gangs", "Default Peds", both);
        row("a trailing blank puts it back", Kept, ">Gangs ", "Default Peds", both);
        row("game file in capitals", GameFile, "Scum", "Scum", "PEDGRP.DAT PEDGRP.DAT.orig");
        row("preset missing", NoPreset, "Gangs", noPreset, game);
        row("a folder as the game file", AFolder, "Gangs", notWritten, game);
        row("a read-only game file", ReadOnly, "Gangs", notWritten, game);
        row("the saved folder gone", Gone, "Gangs", saveAgain, game);
        row("a NUL in the saved folder", ANul, "Gangs", saveAgain, game);
        // The game file is reached from the working folder, and nothing is written there.
        row("a relative saved folder", Relative, "Gangs", saveAgain, game);
        row("an empty saved folder", Empty, "Gangs", saveAgain, game);
        // Each preset names itself: none is kept as the game's own groups, to be put back later.
        row("a preset is not kept", APreset, "Italians", "Italians", game);
        row("Quillfen in the game's folder", InGameFolder, "Gangs", "Gangs", both);
#ifdef Q_OS_WIN
        row("a folder only an administrator writes", OnlyAdmin, "Gangs", askAdmin, game);
        row("started again as administrator", OnlyAdminYes, "Gangs", askAdmin, game);
        // The game reads the copy Windows made for an old program's write.
        row("the game's copy in the VirtualStore", VirtualStore, "Gangs", "Gangs", both);
#endif
        // On Windows this depends on the current folder of drive C:; elsewhere it is relative.
        row("a saved folder from the drive's current one", FromDrive, "Gangs", saveAgain, game);
#ifdef Q_OS_UNIX
        row("a FIFO as the game file, which would block", AFifo, "Gangs", notWritten, game);
        // Writing straight onto the game file could leave a mix of two files.
        row("a folder that takes no new file", NoNewFile, "Gangs", notWritten, both);
        // The preset would be rewritten, and install Gangs under the name of Italians.
        row("a link to a preset", LinkToPreset, "Gangs", notWritten, game);
        row("a link elsewhere is written through", LinkElsewhere, "Gangs", "Gangs", both);
        row("a kept copy that links to nowhere", DanglingKept, "Gangs", notWritten, both);
#endif
    }

    void installPutsThePresetInPlace()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, text);
        QFETCH(QString, outcome);
        QFETCH(QString, files);
        QVERIFY(setup != InGameFolder || make(data = program + "/data", aFolder));
#ifdef Q_OS_WIN
        // Made by tests/wine.sh, which runs the suite as a player.
        const QString onlyAdmin = "Z:" + qEnvironmentVariable("SUITE_DENIED_FOLDER");
        if (setup == OnlyAdmin || setup == OnlyAdminYes) {
            data = QDir::toNativeSeparators(onlyAdmin);
            if (!platform::deniesNewFiles(data))
                QSKIP("Needs a folder that denies a write: run as a player under tests/wine.sh");
            // The program started again: one that ends at once.
            const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
            QVERIFY(setup == OnlyAdmin ||
                    QFile::copy(qEnvironmentVariable("SystemRoot") + "/system32/hostname.exe",
                                program + "/" + self));
            answer = setup == OnlyAdminYes ? QMessageBox::Yes : QMessageBox::No;
        }
        const QString real = folder("%4/pf86/Rockstar Games/GTAIII/data");
        if (setup == VirtualStore) {
            data = QDir::toNativeSeparators(dir->filePath("local/VirtualStore") + real.mid(2));
            QVERIFY(make(real + "/pedgrp.dat", "the real one"));
        }
#endif
        const QString game = data + "/" + files.section(' ', 0, 0), kept = game + ".orig";
        const QString gangWar = program + "/configs/gang war.dat";
        const QString elsewhere = dir->filePath("elsewhere"), outside = elsewhere + "/pedgrp.dat";
        const QMap<Setup, QByteArray> made{
            {NoGameFile, {}},   {AFolder, aFolder},       {AFifo, aFifo},     {Kept, "old"},
            {NoNewFile, "old"}, {APreset, read(gangWar)}, {LinkToPreset, {}}, {LinkElsewhere, {}},
            {OnlyAdmin, {}},    {OnlyAdminYes, {}}};
        const QByteArray gameMade = made.value(setup, gameBytes);
        QVERIFY(gameMade.isNull() || make(game, gameMade));
        QVERIFY((setup != Kept && setup != NoNewFile) || make(kept, gameBytes));
        QVERIFY(setup != NoPreset || QFile::remove(gangWar));
        QVERIFY(make(elsewhere, aFolder) &&
                (setup != LinkToPreset || QFile::link(program + "/configs/italians.dat", game)));
        QVERIFY(setup != LinkElsewhere || (make(outside, gameBytes) && QFile::link(outside, game)));
        QVERIFY(setup != DanglingKept || QFile::link(outside + ".orig", kept));
        QVERIFY(setup != ReadOnly || QFile::setPermissions(game, QFile::ReadOwner));
        QVERIFY(setup != NoNewFile ||
                QFile::setPermissions(data, QFile::ReadOwner | QFile::ExeOwner));
        // Cut at the NUL, the path would name the game file; the others name it from the
        // working folder.
        // clang-format off
        const QMap<Setup, QString> saved{{ANul, "%1/pedgrp.dat" + QString(QChar(0)) + "/"},
            {Gone, "%1/gone/"}, {Empty, ""}, {Relative, "%2/"}, {FromDrive, "c:%2/"},
            {VirtualStore, "%4/pf86/Rockstar Games/GTAIII/data/"}};
        // clang-format on
        // The folder gone goes once the window is open.
        QVERIFY(setup != Gone || make(data + "/gone", aFolder));
        open(setup == FirstRun ? QByteArray()
                               : folder(saved.value(setup, "%1/")).toLocal8Bit() + "");
        QTRY_VERIFY(!window->startingUp());
        QVERIFY(setup != Gone || QDir(data + "/gone").removeRecursively());
        if (setup == Edited) { // the folder as saved, less its last separator
            get<QPushButton>("save")->setText("Sa&ved");
            QTest::keyClick(get("text1"), Qt::Key_Backspace);
        }
        const QByteArray before = read(game);
        const QString statusBefore = get<QLabel>("Status")->text();

        auto *List1 = get<QComboBox>("List1");
        List1->setCurrentIndex(List1->findText(text));
        if (text.startsWith('>')) { // Enter neither adds the text to the list nor completes it
            List1->lineEdit()->clear();
            QTest::keyClicks(List1->lineEdit(), text.remove(0, 1));
            QTest::keyClick(List1->lineEdit(), Qt::Key_Return);
        }
        get<QPushButton>("install")->click();
        QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        // A failure leaves the status line as it was, lest it read as a success.
        const QString group = outcome.contains('|') ? "" : outcome;
        QCOMPARE(boxes.join("") + state().section('|', 1),
                 (group.isEmpty() ? outcome + statusBefore : "'" + group + "' Installed") +
                     (outcome == refused || outcome == saveAgain ? "|Save*" : "|Saved"));
        QCOMPARE(List1->currentText() + " of " + QString::number(List1->count()), text + " of 15");
        // The preset of each group names the group in its first line.
        const auto preset = read(catalogue::presetPath(program, catalogue::lookup(group)));
        QVERIFY(group.isEmpty() || preset.startsWith("# Quillfen preset: " + group.toUtf8()));
        const bool restored = group == "Default Peds" && (setup == Kept || setup == GameFile);
        QCOMPARE(read(game), group.isEmpty() ? before : restored ? gameBytes : preset);
        QCOMPARE(QDir(data).entryList(anyEntry).join(' '), files);
        QVERIFY(!QFileInfo(kept).isFile() || read(kept) == gameBytes);
        // A link stays a link, and nothing is made where one leads.
        QCOMPARE(QFileInfo(game).isSymLink(), setup == LinkToPreset || setup == LinkElsewhere);
        QCOMPARE(QDir(elsewhere).entryList(anyEntry).join(' '),
                 setup == LinkElsewhere ? "pedgrp.dat" : "");
        for (const QString &name : QDir(":/configs").entryList())
            QVERIFY(setup == NoPreset ||
                    read(program + "/configs/" + name) == read(":/configs/" + name));
#ifdef Q_OS_WIN
        // The window that started the program again closed; the real file is left alone.
        QCOMPARE(window->isVisible(), setup != OnlyAdminYes);
        QVERIFY(setup != VirtualStore || read(real + "/pedgrp.dat") == "the real one");
#endif
    }
};

QTEST_MAIN(tst_window)
#include "tst_window.moc"
