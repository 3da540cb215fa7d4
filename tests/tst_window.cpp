// The whole window over a temporary home, program folder and game folder, made once and emptied
// before each test: what a player reads and what lands on disk. Each table closes with the rows
// that only POSIX systems stage here (a FIFO, a name ending in a blank, links, a folder that takes
// no new file), and with those of Windows' own, run under Wine (the registry, the VirtualStore);
// writes cut short and a folder only an administrator writes have a test each.

#include "app/frmmain.h"
#include "app/startup.h"
#include "folder/settingfile.h"
#include "pedgroups/catalogue.h"
#include "pedgroups/install.h"
#include "platform/platform.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>
#include <tuple>

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

using platform::RegistryValue;

const QString sep = QDir::separator();
const QString pleaseSet = "Please Set The GTA3 Data Folder";
const QString pathSet = "Path Set. Please Select Your Peds";
const QString defaultPeds = "Default Peds";
const QString gta3 = "/steamapps/common/Grand Theft Auto 3"; // in a Steam library
// The game's own groups, longer than any preset.
const QByteArray gameBytes = QByteArray("MALE01, FEMALE01\r\n").repeated(300);

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// What stands at `path`: a link and where it leads, a file's bytes, or what else is there.
QByteArray at(const QString &path)
{
    const QFileInfo info(path);
    QFile file(path);
    if (info.isSymLink())
        return "a link to " + QFile::encodeName(info.symLinkTarget());
    if (info.isDir() || !info.exists())
        return info.isDir() ? "a folder" : "nothing";
    return info.isFile() && file.open(QFile::ReadOnly) ? file.readAll() : "a FIFO";
}

// Something a test makes before the window opens, or, in a list of what is there afterwards,
// what must stand at `path`.
struct Made
{
    enum Kind { File, Huge, Folder, Fifo, Link, Removed, Game, ReadOnly, Variable, Registry };
    Kind kind{};
    QString path{};     // a variable's name
    QByteArray bytes{}; // a file's; a variable's value
    QString target{};   // a link's; the text of a registry value
    RegistryValue value{};

    QByteArray expected() const
    {
        return kind == Link      ? "a link to " + QFile::encodeName(target)
               : kind == Fifo    ? "a FIFO"
               : kind == Removed ? "nothing"
                                 : bytes;
    }
};

// What the window shows: the folder box, the status line, Save's caption and whether it can be
// clicked, and the list's text.
struct Shown
{
    QString folder{}, status{}, save{};
    bool clickable = false;
    QString list = defaultPeds;

    bool operator==(const Shown &o) const
    {
        return std::tie(folder, status, save, clickable, list) ==
               std::tie(o.folder, o.status, o.save, o.clickable, o.list);
    }
};

char *toString(const Shown &s)
{
    return QTest::toString(
        QString("folder \"%1\", status \"%2\", %3 %4, list \"%5\"")
            .arg(s.folder, s.status, s.save, s.clickable ? "clickable" : "disabled", s.list));
}

Shown shownSaved(const QString &folder, const QString &status = pathSet,
                 const QString &list = defaultPeds)
{
    return {folder, status, "Saved", false, list};
}

Shown shownUnsaved(const QString &folder, const QString &status = pleaseSet,
                   const QString &list = defaultPeds)
{
    return {folder, status, "Save", true, list};
}

// A message box: its icon, title, text, buttons, and the one Enter presses.
struct Box
{
    QMessageBox::Icon icon{};
    QString title{}, text{};
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton byDefault = QMessageBox::Ok;

    bool operator==(const Box &o) const
    {
        return std::tie(icon, title, text, buttons, byDefault) ==
               std::tie(o.icon, o.title, o.text, o.buttons, o.byDefault);
    }
};

char *toString(const Box &b)
{
    const auto keys = [](int value) {
        return QMetaEnum::fromType<QMessageBox::StandardButtons>().valueToKeys(value);
    };
    return QTest::toString(QString("%1 \"%2\": \"%3\" %4, %5 by default")
                               .arg(QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(b.icon),
                                    b.title, b.text, keys(b.buttons), keys(b.byDefault)));
}

Box error(const QString &text)
{
    return {QMessageBox::Critical, "Error", text};
}

const Box incorrectPath = error("Error! Incorrect Path. Please Correct This Problem.");
const Box unstored =
    error(native("Error! Could Not Store The Data Folder. Please Check The configs/path Folder."));
const Box refused{QMessageBox::Information, "", "Please Set GTA3 Peds Group File First"};
const QString cannotInstall = "Error! Could Not Install 'Gangs'. Please ";
const Box notWritten = error(cannotInstall + "Check That The GTA3 Data Folder Can Be Written.");
const Box noPreset = error(cannotInstall + native("Check configs/gang war.dat."));
const Box saveAgain = error(cannotInstall + "Save The GTA3 Data Folder Again.");

// One row of a data table: its name, then a value for each column.
template <class... Values> void row(const QString &name, const Values &...values)
{
    (QTest::newRow(qPrintable(name)) << ... << values);
}

enum Action { Saves, Installs, Edits };

} // namespace

Q_DECLARE_METATYPE(Made)
Q_DECLARE_METATYPE(Shown)
Q_DECLARE_METATYPE(Box)
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(platform::Start)

class tst_window : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    // In "/" form: the home folder, Quillfen's and the game's data folder in it; the data folder
    // a first run shows; Steam's folder and a Program Files folder, as each system has them.
    QString root, program, data, settingFile, usual, steam, programFiles;
    std::unique_ptr<frmmain> window;
    QList<Made> answers;                // by the registry's stand-in
    QList<Box> boxes;                   // each one shown
    QMessageBox::StandardButton answer; // to a question; any other box is closed
    QStringList started;                // as administrator

    static Made file(const QString &path, const QByteArray &bytes)
    {
        return {Made::File, path, bytes};
    }
    // A file that begins with `bytes` and runs to a gigabyte.
    static Made huge(const QString &path, const QByteArray &bytes)
    {
        return {Made::Huge, path, bytes};
    }
    static Made folder(const QString &path) { return {Made::Folder, path}; }
    static Made fifo(const QString &path) { return {Made::Fifo, path}; }
    static Made link(const QString &path, const QString &target)
    {
        return {Made::Link, path, {}, target};
    }
    // A file of Quillfen's taken away, or, afterwards, nothing made there.
    static Made without(const QString &path) { return {Made::Removed, path}; }
    // gta3.exe beside data/pedgrp.dat with the game's own groups.
    static Made game(const QString &folder) { return {Made::Game, folder}; }
    // `path`, made before, made read-only.
    static Made readOnly(const QString &path) { return {Made::ReadOnly, path}; }
    static Made variable(const char *name, const QString &folder)
    {
        return {Made::Variable, name, QFile::encodeName(folder)};
    }
    // A value the registry's stand-in answers.
    static Made registry(RegistryValue::Root root, const char *key, const char *name,
                         const QString &text)
    {
        return {Made::Registry, {}, {}, text, {root, key, name}};
    }
    // The setting file, naming `folder` as Save writes it.
    Made setting(const QString &folder) const
    {
        return file(settingFile, folder.toLocal8Bit() + "\r\n");
    }
    static QByteArray preset(const QString &label)
    {
        return at(":/configs/" + QLatin1String(catalogue::lookup(label).preset));
    }
    // `path` quoted as Steam's files name a folder, with Windows' "\" escaped.
    static QByteArray quoted(const QString &path)
    {
        return '"' + native(path).replace("\\", "\\\\").toUtf8() + '"';
    }

    bool make(const Made &made)
    {
        const QString &path = made.path;
        QFile out(path);
        switch (made.kind) {
        case Made::Folder:
            return QDir().mkpath(path);
        case Made::Removed:
            return !out.exists() || out.remove();
        case Made::Game:
            return make(file(path + "/gta3.exe", "")) &&
                   make(file(path + "/data/pedgrp.dat", gameBytes));
        case Made::ReadOnly:
            return out.setPermissions(QFileInfo(path).isDir() ? QFile::ReadOwner | QFile::ExeOwner
                                                              : QFile::ReadOwner);
        case Made::Variable:
            return qputenv(qPrintable(path), made.bytes);
        case Made::Registry:
            answers << made;
            return true;
        default:
            if (!QDir().mkpath(QFileInfo(path).path()))
                return false;
        }
        if (made.kind == Made::Link)
            return QFile::link(made.target, path);
        if (made.kind == Made::Fifo)
            return QProcess::execute("mkfifo", {path}) == 0;
        return out.open(QIODevice::WriteOnly) && out.write(made.bytes) == made.bytes.size() &&
               (made.kind != Made::Huge || out.resize(qint64(1) << 30));
    }

    // The window over what is made; `then` runs before it shows.
    void open(const std::function<void()> &then = {},
              const frmmain::StartupRead &read = startup::read)
    {
        window = std::make_unique<frmmain>(native(program), read);
        if (then)
            then();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    template <class T = QWidget> T *get(const char *name) { return window->findChild<T *>(name); }

    Shown shown()
    {
        const auto *save = get<QPushButton>("save");
        return {get<QLineEdit>("text1")->text(), get<QLabel>("Status")->text(), save->text(),
                save->isEnabled(), get<QComboBox>("List1")->currentText()};
    }

    // Installs `text`, chosen from the list or typed and entered.
    void install(const QString &text, bool typed = false)
    {
        auto *List1 = get<QComboBox>("List1");
        if (typed) {
            List1->lineEdit()->clear();
            QTest::keyClicks(List1->lineEdit(), text);
            QTest::keyClick(List1->lineEdit(), Qt::Key_Return);
        } else {
            List1->setCurrentIndex(List1->findText(text));
        }
        get<QPushButton>("install")->click();
    }

    // Each of `after` stands as listed, and the folders they are in hold no other file.
    void expectOnDisk(const QList<Made> &after)
    {
        QMap<QString, QStringList> files;
        for (const Made &made : after) {
            const QFileInfo info(made.path);
            switch (made.kind) {
            case Made::Folder: // its own folder is listed
                files[info.path()];
                break;
            case Made::File:
            case Made::Fifo:
            case Made::Link:
                files[info.path()] << info.fileName();
                [[fallthrough]];
            case Made::Removed:
                QCOMPARE(at(made.path), made.expected());
                break;
            default: // not on disk, or a mode
                break;
            }
        }
        for (auto it = files.begin(); it != files.end(); ++it) {
            QStringList listed =
                QDir(it.key()).entryList(QDir::Files | QDir::System | QDir::Hidden);
            listed.sort();
            it->sort();
            QCOMPARE(listed, *it);
        }
        // No install writes into Quillfen's own presets.
        for (const QString &name : QDir(":/configs").entryList()) {
            if (QFileInfo::exists(program + "/configs/" + name))
                QCOMPARE(at(program + "/configs/" + name), at(":/configs/" + name));
        }
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
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        root = dir->path(), program = root + "/quillfen", data = root + "/gta3";
        settingFile = program + "/configs/path/config.cfg";
        // A first run looks for the game here, and nowhere else on the machine.
        qputenv("HOME", QFile::encodeName(root));
#ifdef Q_OS_WIN
        qputenv("ProgramFiles(x86)", QFile::encodeName(root + "/pf86"));
        qputenv("ProgramFiles", QFile::encodeName(root + "/pf"));
        qputenv("LOCALAPPDATA", QFile::encodeName(root + "/local"));
        usual = "c:\\program files (x86)\\rockstar games\\gtaiii\\data";
        steam = root + "/pf86/Steam", programFiles = root + "/pf";
#else
        usual = root + "/.wine/drive_c/Program Files (x86)/Rockstar Games/GTAIII/data";
        steam = root + "/.local/share/Steam", programFiles = root + "/.wine/drive_c/Program Files";
#endif
        // Message boxes are noted and closed as they open.
        auto *closer = new QTimer(this);
        connect(closer, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            boxes << Box{box->icon(), box->windowTitle(), box->text(), box->standardButtons(),
                         box->standardButton(box->defaultButton())};
            if (box->button(answer))
                box->button(answer)->click();
            else
                box->close();
        });
        closer->start(5);
        // A window that starts the program again closes, which must not end the suite.
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void init()
    {
        // What a test left read-only is emptied too.
        for (QDirIterator it(root, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
             it.hasNext();)
            QFile::setPermissions(it.next(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QDir(root).removeRecursively() && QDir().mkpath(data));
        for (const QString &name : QDir(":/configs").entryList())
            QVERIFY(make(file(program + "/configs/" + name, at(":/configs/" + name))));
        QVERIFY(make(folder(program + "/configs/path")));
        for (const char *name : {"XDG_DATA_HOME", "WINEPREFIX"})
            qunsetenv(name);
        answers.clear(), boxes.clear(), started.clear();
        answer = QMessageBox::NoButton;
        // Only what a row names: the registry of Wine's prefix, or of a developer's Windows, is
        // never read.
        platform::standIns() = {};
        platform::standIns().registry = [this](const RegistryValue &asked) {
            for (const Made &made : answers) {
                const RegistryValue &value = made.value;
                if (value.root == asked.root &&
                    !value.key.compare(asked.key, Qt::CaseInsensitive) &&
                    !value.name.compare(asked.name, Qt::CaseInsensitive))
                    return made.target;
            }
            return QString();
        };
    }

    // Nothing reads beside the window into the next test.
    void cleanup()
    {
        QTRY_VERIFY(!window || !window->startingUp());
    }

    void startUpFollowsTheSettingFile_data()
    {
        QTest::addColumn<QList<Made>>("made");
        QTest::addColumn<QString>("chosen"); // from the list before the window shows
        QTest::addColumn<Shown>("atOnce");
        QTest::addColumn<Shown>("afterwards"); // once start-up has read the player's folders
        const QString folder = native(data) + sep, joined = native(data + "/data/");
        const Made saved = setting(folder), gangs = file(data + "/pedgrp.dat", preset("Gangs"));
        row("first run", QList<Made>{}, "", shownUnsaved(usual), shownUnsaved(usual));
        row("lines joined",
            QList<Made>{file(settingFile, native(data).toLocal8Bit() + "\r\n" +
                                              native("/da\rta/").toLocal8Bit() + "\n"),
                        this->folder(data + "/data")},
            "", shownSaved(joined), shownSaved(joined));
        row("zero bytes", QList<Made>{file(settingFile, "")}, "", shownSaved(""), shownSaved(""));
        row("UTF-8 behind its mark", QList<Made>{file(settingFile, "\xef\xbb\xbf\xce\xbb\\")}, "",
            shownSaved("λ\\"), shownSaved("λ\\"));
        // A line, then far too much for a folder, if only line ends: the line is offered, unsaved.
        row("then 30 MB of line ends",
            QList<Made>{file(settingFile, "c:\\\r\n" + QByteArray(30 << 20, '\n'))}, "",
            shownUnsaved("c:\\"), shownUnsaved("c:\\"));
        // A player coming back is told which group the game holds, once it is read beside the
        // window, and it is the one Install puts in again.
        row("a preset in the game folder", QList<Made>{saved, gangs}, "", shownSaved(folder),
            shownSaved(folder, "'Gangs' Installed", "Gangs"));
        row("a preset, and another group chosen", QList<Made>{saved, gangs}, "Scum",
            shownSaved(folder, pathSet, "Scum"), shownSaved(folder, "'Gangs' Installed", "Scum"));
        row("the game's own file", QList<Made>{saved, file(data + "/pedgrp.dat", gameBytes)}, "",
            shownSaved(folder), shownSaved(folder));
        row("a preset's label in another case",
            QList<Made>{saved, file(data + "/pedgrp.dat", "# Quillfen preset: gangs\r\n")}, "",
            shownSaved(folder), shownSaved(folder));
        // Moved, uninstalled or unplugged: unsaved, and nothing stored until Save.
        const QString gone = native(data + "/gone/");
        row("the saved folder gone", QList<Made>{setting(gone)}, "", shownSaved(gone),
            shownUnsaved(gone));
    }

    void startUpFollowsTheSettingFile()
    {
        QFETCH(QList<Made>, made);
        QFETCH(QString, chosen);
        QFETCH(Shown, atOnce);
        QFETCH(Shown, afterwards);
        for (const Made &m : made)
            QVERIFY2(make(m), qPrintable(m.path));
        const QByteArray stored = at(settingFile);
        Shown before;
        open([&] {
            auto *List1 = get<QComboBox>("List1");
            if (!chosen.isEmpty())
                List1->setCurrentIndex(List1->findText(chosen));
            before = shown();
        });
        QCOMPARE(window->windowTitle(), "Quillfen V" QUILLFEN_VERSION);
        QCOMPARE(before, atOnce);
        QTRY_VERIFY(!window->startingUp());
        QCOMPARE(shown(), afterwards);
        QCOMPARE(at(settingFile), stored);
    }

    void aLateStartUpReadLeavesWhatThePlayerDid_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<Shown>("afterwards");
        QTest::addColumn<QList<Box>>("shownBoxes");
        const QString gone = native(data + "/gone/");
        row("saved", Saves, shownSaved(native(data) + sep), QList<Box>{});
        row("installed", Installs, shownUnsaved(gone, pathSet, "Gangs"), QList<Box>{saveAgain});
        row("edited", Edits, shownUnsaved(gone + "x", pathSet), QList<Box>{});
    }

    // The saved folder is gone and the game is in Steam's: a read that comes in after the player
    // acted would offer it in place of what they did.
    void aLateStartUpReadLeavesWhatThePlayerDid()
    {
        QFETCH(Action, action);
        QFETCH(Shown, afterwards);
        QFETCH(QList<Box>, shownBoxes);
        const QString gone = native(data + "/gone/");
        for (const Made &m :
             {setting(gone), file(data + "/pedgrp.dat", gameBytes), game(steam + gta3)})
            QVERIFY(make(m));
        auto reading = std::make_shared<QSemaphore>(), latch = std::make_shared<QSemaphore>();
        const auto release = qScopeGuard([latch] { latch->release(); });
        open({}, [reading, latch](const startup::Question &question) {
            reading->release();
            latch->acquire();
            return startup::read(question);
        });
        QTRY_VERIFY(reading->available());
        if (action == Saves) {
            get<QLineEdit>("text1")->setText(native(data));
            get<QPushButton>("save")->click();
        } else if (action == Installs) {
            install("Gangs");
        } else {
            QTest::keyClicks(get("text1"), "x");
        }
        QVERIFY(window->startingUp());
        latch->release();
        QTRY_VERIFY(!window->startingUp());
        QCOMPARE(shown(), afterwards);
        QCOMPARE(boxes, shownBoxes);
    }

    void saveChecksTheFolderAndStoresIt_data()
    {
        QTest::addColumn<QList<Made>>("made");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("storable"); // configs/path is there to store it in
        QTest::addColumn<QString>("saved"); // the active folder afterwards; none: refused
        QTest::addColumn<QList<Box>>("shownBoxes");
        const auto gameFileIn = [](const QString &folder) {
            return file(folder + "/pedgrp.dat", gameBytes);
        };
        const QList<Made> inData{gameFileIn(data)};
        const QString folder = native(data), saved = folder + sep;
        const QList<Box> none, incorrect{incorrectPath};
        row("a folder with the game file", inData, folder, true, saved, none);
        row("the saved text again: doubled separator", inData, saved, true, saved + sep, none);
        row("the game file in capitals", QList<Made>{file(data + "/up/PEDGRP.DAT", gameBytes)},
            native(data + "/up"), true, native(data + "/up/"), none);
        row("letters in the code page", QList<Made>{gameFileIn(data + "/café")},
            native(data + "/café"), true, native(data + "/café/"), none);
        row("letters outside the code page", QList<Made>{gameFileIn(data + "/λ")},
            native(data + "/λ"), true, native(data + "/λ/"), none);
        // Blanks and line ends go first, then Explorer's quotes.
        row("pasted with quotes and blanks", inData, " \t\"" + folder + "\"\r\n", true, saved,
            none);
        // As a file manager copies a folder: percent-encoded UTF-8 after file:///.
        row("a file: address", QList<Made>{gameFileIn(data + "/λ games")},
            " " + QUrl::fromLocalFile(data + "/λ games").toString(QUrl::FullyEncoded) + "\n", true,
            native(data + "/λ games/"), none);
        // The game's folder, gta3.exe or pedgrp.dat, as handed over from a file manager.
        row("the game's folder", QList<Made>{gameFileIn(data + "/Data")}, folder, true,
            native(data + "/Data/"), none);
        row("pedgrp.dat itself", inData, "\"" + native(data + "/pedgrp.dat") + "\"", true, saved,
            none);
        row("gta3.exe", QList<Made>{file(data + "/gta3.exe", ""), gameFileIn(data + "/data")},
            native(data + "/gta3.exe"), true, native(data + "/data/"), none);
        row("another file of the game's", QList<Made>{file(data + "/readme.txt", gameBytes)},
            native(data + "/readme.txt"), true, "", incorrect);
        row("no game file", QList<Made>{this->folder(data + "/empty")}, native(data + "/empty"),
            true, "", incorrect);
        row("a folder as the game file", QList<Made>{this->folder(data + "/pedgrp.dat")}, folder,
            true, "", incorrect);
        row("a relative folder", inData, native(QDir::current().relativeFilePath(data)), true, "",
            incorrect);
        row("no configs/path to store it in", inData, folder, false, saved, QList<Box>{unstored});
        // On Windows this depends on the current drive; elsewhere it is relative as well.
        row("a folder on the current drive", inData, folder.mid(2), true, "", incorrect);
#ifdef Q_OS_UNIX
        row("a name ending in a blank", QList<Made>{gameFileIn(data + "/b ")}, data + "/b ", true,
            data + "/b /", none);
        row("~ for the home folder", inData, "~/gta3", true, saved, none);
        // An open would block the window.
        row("a FIFO as the game file", QList<Made>{fifo(data + "/pedgrp.dat")}, folder, true, "",
            incorrect);
        // A line end would split the stored folder in two.
        row("a line end in it", QList<Made>{gameFileIn(data + "/a\nb")}, data + "/a\nb", true,
            data + "/a\nb/", QList<Box>{unstored});
#endif
    }

    void saveChecksTheFolderAndStoresIt()
    {
        QFETCH(QList<Made>, made);
        QFETCH(QString, typed);
        QFETCH(bool, storable);
        QFETCH(QString, saved);
        QFETCH(QList<Box>, shownBoxes);
        for (const Made &m : made)
            QVERIFY2(make(m), qPrintable(m.path));
        // A refused folder leaves the earlier one in place.
        const QString earlier = native(data) + sep;
        QVERIFY(!saved.isEmpty() || make(setting(earlier)));
        const QByteArray storedBefore = at(settingFile);
        open();
        QVERIFY(storable || QDir(program + "/configs/path").removeRecursively());
        get<QLineEdit>("text1")->setText(typed);
        get("save")->setFocus(); // and pressed by keyboard, as it hands the focus on
        QTest::keyClick(get("save"), Qt::Key_Space);
        QCOMPARE(boxes, shownBoxes);
        QCOMPARE(shown(), shownBoxes.isEmpty() ? shownSaved(saved) : shownUnsaved("", pathSet));
        QCOMPARE(window->activeDataFolder(), saved.isEmpty() ? earlier : saved);
        // In the system code page, as earlier versions wrote it, wherever that holds the folder.
        const QByteArray local = saved.toLocal8Bit(), utf8 = "\xef\xbb\xbf" + saved.toUtf8();
        const QByteArray stored = QString::fromLocal8Bit(local) == saved ? local : utf8;
        QCOMPARE(at(settingFile), shownBoxes.isEmpty() ? stored + "\r\n" : storedBefore);
        // The list is next: a group typed at once replaces the one shown.
        QTest::keyClicks(window->focusWidget(), "Scum");
        QCOMPARE(get<QComboBox>("List1")->currentText(),
                 shownBoxes.isEmpty() ? "Scum" : defaultPeds);
    }

    void firstRunOffersTheInstalledGame_data()
    {
        QTest::addColumn<QList<Made>>("made");
        QTest::addColumn<QString>("typed"); // into the folder box as the window opens
        QTest::addColumn<QString>("found"); // the data folder offered; none: the usual one
        const QString inSteam = steam + gta3, lib = root + "/lib", inLib = lib + gta3;
        const QString disc = programFiles + "/Rockstar Games/GTAIII";
        const QString listing = steam + "/steamapps/libraryfolders.vdf";
        const QString config = steam + "/config/libraryfolders.vdf";
        const QString manifest = steam + "/steamapps/appmanifest_12100.acf";
        // The shapes of Steam's list of libraries: before mid-2021, then from then on, and now.
        const QByteArray before =
            R"("LibraryFolders" { "TimeNextStatsReport" "16" "1" )" + quoted(lib) + " }";
        const auto listed = [](const QString &library) {
            return R"("libraryfolders" { "1" { "path" )" + quoted(library) +
                   R"( "mounted" "1" } })";
        };
        const QByteArray then = listed(lib);
        const QByteArray now = "// Steam's own\n\"libraryfolders\" { \"0\" { \"path\" " +
                               quoted(steam) + R"( "apps" { "7" "1" } } "1" { "path" )" +
                               quoted(lib) + R"( "apps" { "12100" "1" } } })";
        const QList<Made> none;
        row("nothing installed", none, "", "");
        row("in the Steam folder", QList<Made>{game(inSteam)}, "", inSteam + "/data");
        row("typed before the search ends", QList<Made>{game(inSteam)}, "x", "");
        row("a library listed before mid-2021", QList<Made>{file(listing, before), game(inLib)}, "",
            inLib + "/data");
        row("a library listed in config/", QList<Made>{file(config, then), game(inLib)}, "",
            inLib + "/data");
        row("a library listed after Steam's own", QList<Made>{file(listing, now), game(inLib)}, "",
            inLib + "/data");
        const QByteArray gone = R"("libraryfolders" { "1" { "path" )" + quoted(root + "/gone") +
                                R"( } "2" { "path" )" + quoted(lib) + " } }";
        row("a library that is gone", QList<Made>{file(listing, gone), game(inLib)}, "",
            inLib + "/data");
        row("an installdir of its own",
            QList<Made>{file(manifest, R"("AppState" { "appid" "12100" "installdir" "GTA III" })"),
                        game(steam + "/steamapps/common/GTA III")},
            "", steam + "/steamapps/common/GTA III/data");
        row("names in other cases",
            QList<Made>{file(inSteam + "/GTA3.EXE", ""), file(inSteam + "/Data/PEDGRP.DAT", "")},
            "", inSteam + "/Data");
        const QString trilogy = steam + "/steamapps/common/GTA Trilogy";
        row("the Definitive Edition alone",
            QList<Made>{file(steam + "/steamapps/appmanifest_1546970.acf",
                             R"("AppState" { "appid" "1546970" "installdir" "GTA Trilogy" })"),
                        file(trilogy + "/Gameface/gta3.exe", "")},
            "", "");
        row("the disc's install", QList<Made>{game(disc)}, "", disc + "/data");
        row("Steam's before the disc's", QList<Made>{game(disc), game(inSteam)}, "",
            inSteam + "/data");
        row("a game without pedgrp.dat", QList<Made>{file(inSteam + "/gta3.exe", ""), game(disc)},
            "", disc + "/data");
        row("a game without gta3.exe",
            QList<Made>{file(inSteam + "/data/pedgrp.dat", ""), game(disc)}, "", disc + "/data");
        row("an installdir out of the library",
            QList<Made>{file(manifest, R"("AppState" { "installdir" ".." })"),
                        game(steam + "/steamapps"),
                        file(steam + "/steamapps/common/other/gta3.exe", "")},
            "", "");
        // Old libraries name Steam's folders in capitals, and a manifest may not match the case.
        row("SteamApps, and an installdir in another case",
            QList<Made>{file(listing, then),
                        file(lib + "/SteamApps/appmanifest_12100.acf",
                             R"("AppState" { "installdir" "gta iii" })"),
                        game(lib + "/SteamApps/common/GTA III")},
            "", lib + "/SteamApps/common/GTA III/data");
        // The folder offered is the real one, however Steam names it.
        row("a library listed with a separator at its end",
            QList<Made>{file(listing, listed(lib + "/")), game(inLib)}, "", inLib + "/data");
        // Steam's files as they may be found: none of them holds the window up or stops the
        // search, and what cannot be read ends the read.
        const qsizetype afterPath = then.indexOf(quoted(lib)) + quoted(lib).size();
        row("a listing cut short", QList<Made>{file(listing, then.left(afterPath)), game(inLib)},
            "", inLib + "/data");
        row("a listing cut in a path",
            QList<Made>{file(listing, then.left(afterPath - 1)), game(inLib)}, "", "");
        const QByteArray keyless = R"("libraryfolders" { "0" { "path" )" + quoted(root + "/x") +
                                   R"( { "1" )" + quoted(lib) + " } }";
        row("a block without a key", QList<Made>{file(listing, keyless), game(inLib)}, "", "");
        row("a listing nested 100,000 deep",
            QList<Made>{file(config, "\"libraryfolders\" {" + QByteArray("a{").repeated(100000)),
                        game(inSteam)},
            "", inSteam + "/data");
        QByteArray binary;
        for (int i = 0; i < 1024; ++i)
            binary += char(i * 7);
        row("a binary listing", QList<Made>{file(config, binary), game(inSteam)}, "",
            inSteam + "/data");
        // Not Steam's, and not read: a gigabyte would be held in memory.
        row("a listing far too large", QList<Made>{huge(config, then), game(inLib)}, "", "");
        // A saved folder that is gone: a first run, offering the game where it is now.
        row("the saved folder gone", QList<Made>{setting(native(root + "/gone/")), game(inSteam)},
            "", inSteam + "/data");
        const QString launcher = programFiles + "/Rockstar Games/Grand Theft Auto III";
        row("the launcher's folder", QList<Made>{game(launcher)}, "", launcher + "/data");
#ifdef Q_OS_UNIX
        // A plain open of either would wait for a writer, and the search with it.
        row("a FIFO as Steam's list of libraries", QList<Made>{fifo(listing), game(disc)}, "",
            disc + "/data");
        row("a FIFO as the game's manifest", QList<Made>{fifo(manifest), game(inSteam)}, "",
            inSteam + "/data");
        row("Steam in XDG_DATA_HOME",
            QList<Made>{variable("XDG_DATA_HOME", root + "/xdg"), game(root + "/xdg/Steam" + gta3)},
            "", root + "/xdg/Steam" + gta3 + "/data");
        // Its sandbox names its own folder and its home as if they were the user's.
        const QString flatpak = root + "/.var/app/com.valvesoftware.Steam";
        row("a library in the Flatpak Steam's home",
            QList<Made>{file(flatpak + "/.local/share/Steam/steamapps/libraryfolders.vdf",
                             R"("libraryfolders" { "0" { "path" )" + quoted(steam) +
                                 R"( } "1" { "path" )" + quoted(root + "/Games") + " } }"),
                        game(flatpak + "/Games" + gta3)},
            "", flatpak + "/Games" + gta3 + "/data");
        const QString inPrefix = "/drive_c/Program Files (x86)/Rockstar Games/GTAIII";
        row("the disc's install in WINEPREFIX",
            QList<Made>{variable("WINEPREFIX", root + "/pfx"), game(root + "/pfx" + inPrefix)}, "",
            root + "/pfx" + inPrefix + "/data");
        row("Steam through its link",
            QList<Made>{link(root + "/.steam/root", root + "/real"), game(root + "/real" + gta3)},
            "", root + "/real" + gta3 + "/data");
        // The Wine prefixes of game managers, and Proton's in a second library.
        const QString games = root + "/Games", lutris = games + "/gta-iii" + inPrefix;
        const QString proton = lib + "/steamapps/compatdata/9/pfx" + inPrefix;
        const QString bottles = root + "/.local/share/bottles/bottles/GTA/drive_c/Program "
                                       "Files/Rockstar Games/GTAIII";
        row("a Lutris prefix", QList<Made>{game(lutris)}, "", lutris + "/data");
        row("a Bottles prefix", QList<Made>{game(bottles)}, "", bottles + "/data");
        row("a Proton prefix in a second library", QList<Made>{file(listing, then), game(proton)},
            "", proton + "/data");
        row("Steam's before a prefix's", QList<Made>{game(lutris), game(inSteam)}, "",
            inSteam + "/data");
        row("a folder of prefixes holding junk",
            QList<Made>{fifo(games + "/a"), link(games + "/b", games + "/b"),
                        file(games + "/c", "junk"), fifo(games + "/d/drive_c"),
                        link(games + "/e", games + "/a"), game(lutris)},
            "", lutris + "/data");
#else
        // Steam and Rockstar's programs are 32-bit: the machine's keys are in its 32-bit view.
        const auto steamPath = [](const QString &folder) {
            return registry(RegistryValue::CurrentUser, "Software\\Valve\\Steam", "SteamPath",
                            folder);
        };
        const auto machines = [](const char *key, const char *name, const QString &folder) {
            return registry(RegistryValue::LocalMachine32, key, name, folder);
        };
        const Made uninstall =
            machines("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 12100",
                     "InstallLocation", root + "/su");
        const Made launcher32 = machines("SOFTWARE\\Rockstar Games\\Grand Theft Auto III",
                                         "InstallFolder", root + "/rgl");
        const Made installer = machines("SOFTWARE\\Rockstar Games\\GTAIII", "Path", root + "/cd");
        // Steam writes its own folder in lower case; the folder is offered as it is on disk.
        row("Steam named by the user's registry",
            QList<Made>{steamPath(root + "/steam"), game(root + "/Steam" + gta3)}, "",
            root + "/Steam" + gta3 + "/data");
        row("Steam named by the machine's",
            QList<Made>{machines("SOFTWARE\\Valve\\Steam", "InstallPath", root + "/steam"),
                        game(root + "/steam" + gta3)},
            "", root + "/steam" + gta3 + "/data");
        row("a key of the machine's 64-bit view, which no 32-bit program writes",
            QList<Made>{registry(RegistryValue::LocalMachine, "SOFTWARE\\Valve\\Steam",
                                 "InstallPath", root + "/steam"),
                        game(root + "/steam" + gta3)},
            "", "");
        row("Steam's uninstall entry", QList<Made>{uninstall, game(root + "/su")}, "",
            root + "/su/data");
        row("the launcher's key", QList<Made>{launcher32, game(root + "/rgl")}, "",
            root + "/rgl/data");
        row("the installer's key", QList<Made>{installer, game(root + "/cd")}, "",
            root + "/cd/data");
        row("Steam's before the launcher's",
            QList<Made>{launcher32, game(root + "/rgl"), game(inSteam)}, "", inSteam + "/data");
        row("Steam's uninstall entry before the launcher's",
            QList<Made>{launcher32, game(root + "/rgl"), uninstall, game(root + "/su")}, "",
            root + "/su/data");
        row("the launcher's before the installer's",
            QList<Made>{installer, game(root + "/cd"), launcher32, game(root + "/rgl")}, "",
            root + "/rgl/data");
#endif
    }

    void firstRunOffersTheInstalledGame()
    {
        QFETCH(QList<Made>, made);
        QFETCH(QString, typed);
        QFETCH(QString, found);
        for (const Made &m : made)
            QVERIFY2(make(m), qPrintable(m.path));
        const QByteArray stored = at(settingFile);
        const QString before =
            QFileInfo::exists(settingFile) ? QString::fromLocal8Bit(stored).trimmed() : usual;
        open([&] { QTest::keyClicks(get("text1"), typed); });
        QTRY_VERIFY(!window->startingUp());
        // Nothing is stored until the player saves.
        QCOMPARE(shown(), shownUnsaved((found.isEmpty() ? before : native(found)) + typed));
        QCOMPARE(at(settingFile), stored);
    }

    void aDropFillsTheFolderBox_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("saved"); // by Save afterwards; none: the drop changes nothing
        const auto in = [this](const char *name) { return QUrl::fromLocalFile(data + name); };
        // What Save takes of a path is the save table's.
        row("gta3.exe", QList<QUrl>{in("/gta3.exe")}, "", native(data + "/data/"));
        row("two files", QList<QUrl>{in("/gta3.exe"), in("/data/pedgrp.dat")}, "", "");
        row("another file", QList<QUrl>{in("/readme.txt")}, "", "");
        row("a web address", QList<QUrl>{QUrl("https://example.org/gta3.exe")}, "", "");
        row("text naming the folder", QList<QUrl>{}, native(data), "");
    }

    void aDropFillsTheFolderBox()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(QString, text);
        QFETCH(QString, saved);
        for (const char *name : {"/gta3.exe", "/readme.txt", "/data/pedgrp.dat"})
            QVERIFY(make(file(data + name, gameBytes)));
        const QString before = native(data) + sep;
        QVERIFY(make(setting(before)));
        open();
        QMimeData mime;
        mime.setUrls(urls);
        if (!text.isEmpty())
            mime.setText(text);
        // Over the folder box, which hands it to the window.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(get("text1"), &enter);
        if (enter.isAccepted())
            QApplication::sendEvent(get("text1"), &drop);
        QCOMPARE(shown(), saved.isEmpty() ? shownSaved(before)
                                          : shownUnsaved(native(urls[0].toLocalFile()), pathSet));
        QTest::mouseClick(get("save"), Qt::LeftButton);
        QCOMPARE(window->activeDataFolder(), saved.isEmpty() ? before : saved);
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
        QList<Made> before{file(settingFile, "earlier\r\n"), file(game, gameBytes)};
        for (const Made &m : before)
            QVERIFY(make(m));
        const auto store = [&] { return settingfile::write(program, QString(99, 'x')); };
        const auto install = [&] {
            return pedgroups::install(program, catalogue::lookup("Gangs"), data + sep) ==
                   pedgroups::Outcome::Installed;
        };
        QCOMPARE(inChild(store, 20, kill), cut);
        // First while the copy is kept, then with the copy there, while the preset is written.
        QCOMPARE(inChild(install, preset + 10, kill), cut);
        expectOnDisk(before);
        before << file(game + ".orig", gameBytes);
        QVERIFY(make(before.last()));
        QCOMPARE(inChild(install, preset / 2, kill), cut);
        expectOnDisk(before);
    }
#endif

    void anInstallPutsTheGroupIn_data()
    {
        QTest::addColumn<QList<Made>>("made");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("typed");    // then Enter; otherwise chosen from the list
        QTest::addColumn<QString>("group"); // the one the status line names
        QTest::addColumn<QList<Made>>("after");
        const QString game = data + "/pedgrp.dat";
        const Made saved = setting(native(data) + sep), own = file(game, gameBytes);
        const Made old = file(game, "old"), kept = file(game + ".orig", gameBytes);
        const auto holding = [&](const QString &label) { return file(game, preset(label)); };
        // With no game file to keep, each entry installs the preset that names it.
        for (const QString &label : catalogue::labels())
            row(label, QList<Made>{saved}, label, false, label, QList<Made>{holding(label)});
        row("the first install keeps the game's file", QList<Made>{saved, own}, "Gangs", false,
            "Gangs", QList<Made>{holding("Gangs"), kept});
        row("typed, then Enter", QList<Made>{saved, own}, "Italians", true, "Italians",
            QList<Made>{holding("Italians"), kept});
        row("a later install leaves the copy alone", QList<Made>{saved, old, kept}, "Gangs", false,
            "Gangs", QList<Made>{holding("Gangs"), kept});
        row("Default Peds puts the copy back", QList<Made>{saved, old, kept}, defaultPeds, false,
            defaultPeds, QList<Made>{own, kept});
        row("Default Peds leaves the game's own", QList<Made>{saved, own}, defaultPeds, false,
            defaultPeds, QList<Made>{own, kept});
        row("a text in another case puts it back", QList<Made>{saved, old, kept}, "gangs", true,
            defaultPeds, QList<Made>{own, kept});
        row("a trailing blank puts it back", QList<Made>{saved, old, kept}, "Gangs ", true,
            defaultPeds, QList<Made>{own, kept});
        const QString capitals = data + "/PEDGRP.DAT";
        row("the game file in capitals", QList<Made>{saved, file(capitals, gameBytes)}, "Scum",
            false, "Scum",
            QList<Made>{file(capitals, preset("Scum")), file(capitals + ".orig", gameBytes)});
        // Each preset names itself: none is kept as the game's own groups, to be put back later.
        row("a preset is not kept", QList<Made>{saved, holding("Gangs")}, "Italians", false,
            "Italians", QList<Made>{holding("Italians")});
        const QString inProgram = program + "/data/pedgrp.dat";
        row("Quillfen in the game's folder",
            QList<Made>{setting(native(program + "/data/")), file(inProgram, gameBytes)}, "Gangs",
            false, "Gangs",
            QList<Made>{file(inProgram, preset("Gangs")), file(inProgram + ".orig", gameBytes)});
#ifdef Q_OS_UNIX
        const QString outside = root + "/elsewhere/pedgrp.dat";
        row("a link elsewhere is written through",
            QList<Made>{saved, file(outside, gameBytes), link(game, outside)}, "Gangs", false,
            "Gangs", QList<Made>{link(game, outside), kept, file(outside, preset("Gangs"))});
#else
        // The game reads the copy Windows made for an old program's write; the real one stays.
        const QString real = root + "/pf86/Rockstar Games/GTAIII/data";
        const QString copy = root + "/local/VirtualStore" + real.mid(2) + "/pedgrp.dat";
        row("the game's copy in the VirtualStore",
            QList<Made>{setting(native(real) + sep), file(real + "/pedgrp.dat", "the real one"),
                        file(copy, gameBytes)},
            "Gangs", false, "Gangs",
            QList<Made>{file(real + "/pedgrp.dat", "the real one"), file(copy, preset("Gangs")),
                        file(copy + ".orig", gameBytes)});
#endif
    }

    void anInstallPutsTheGroupIn()
    {
        QFETCH(QList<Made>, made);
        QFETCH(QString, text);
        QFETCH(bool, typed);
        QFETCH(QString, group);
        QFETCH(QList<Made>, after);
        for (const Made &m : made)
            QVERIFY2(make(m), qPrintable(m.path));
        open();
        QTRY_VERIFY(!window->startingUp());
        Shown expected = shown();
        install(text, typed);
        expected.status = "'" + group + "' Installed";
        expected.list = text;
        QCOMPARE(boxes, QList<Box>{});
        QCOMPARE(shown(), expected);
        // Enter neither adds the text to the list nor completes it.
        QCOMPARE(get<QComboBox>("List1")->count(), 15);
        // Start-up reads the group back from the first line.
        QVERIFY(preset(group).startsWith("# Quillfen preset: " + group.toUtf8() + "\r\n"));
        expectOnDisk(after);
    }

    void aRefusedInstallLeavesTheGameFile_data()
    {
        QTest::addColumn<QList<Made>>("made");
        QTest::addColumn<bool>("edited");       // the folder box, once the window shows
        QTest::addColumn<QString>("vanishing"); // once start-up has read the player's folders
        QTest::addColumn<Box>("box");
        QTest::addColumn<bool>("armed"); // Save, to save the folder again
        const QString game = data + "/pedgrp.dat";
        const QString relative = native(QDir::current().relativeFilePath(data)) + sep;
        const Made saved = setting(native(data) + sep), own = file(game, gameBytes);
        row("refused before any save", QList<Made>{own}, false, "", refused, true);
        row("refused after an edit", QList<Made>{saved, own}, true, "", refused, true);
        row("the preset missing",
            QList<Made>{saved, own, without(program + "/configs/gang war.dat")}, false, "",
            noPreset, false);
        row("a folder as the game file", QList<Made>{saved, folder(game)}, false, "", notWritten,
            false);
        row("a read-only game file", QList<Made>{saved, own, readOnly(game)}, false, "", notWritten,
            false);
        row("the saved folder gone",
            QList<Made>{setting(native(data + "/gone/")), own, folder(data + "/gone")}, false,
            data + "/gone", saveAgain, true);
        // Cut at the NUL, the path would name the game file.
        row("a NUL in the saved folder", QList<Made>{setting(native(game) + QChar(0) + sep), own},
            false, "", saveAgain, true);
        // The game file is reached from the working folder, and nothing is written there.
        row("a relative saved folder", QList<Made>{setting(relative), own}, false, "", saveAgain,
            true);
        row("an empty saved folder", QList<Made>{setting(""), own}, false, "", saveAgain, true);
        // On Windows this depends on the current folder of drive C:; elsewhere it is relative.
        row("a saved folder from the drive's current one",
            QList<Made>{setting("c:" + relative), own}, false, "", saveAgain, true);
#ifdef Q_OS_UNIX
        row("a FIFO as the game file, which would block", QList<Made>{saved, fifo(game)}, false, "",
            notWritten, false);
        // Writing straight onto the game file could leave a mix of two files.
        row("a folder that takes no new file",
            QList<Made>{saved, file(game, "old"), file(game + ".orig", gameBytes), readOnly(data)},
            false, "", notWritten, false);
        // The preset would be rewritten, and install Gangs under the name of Italians.
        row("a link to a preset", QList<Made>{saved, link(game, program + "/configs/italians.dat")},
            false, "", notWritten, false);
        const QString elsewhere = root + "/elsewhere";
        row("a kept copy that links to nowhere",
            QList<Made>{saved, own, folder(elsewhere), link(game + ".orig", elsewhere + "/orig"),
                        without(elsewhere + "/orig")},
            false, "", notWritten, false);
#endif
    }

    // The game file is left as it was, and so is the status line, lest it read as a success.
    void aRefusedInstallLeavesTheGameFile()
    {
        QFETCH(QList<Made>, made);
        QFETCH(bool, edited);
        QFETCH(QString, vanishing);
        QFETCH(Box, box);
        QFETCH(bool, armed);
        for (const Made &m : made)
            QVERIFY2(make(m), qPrintable(m.path));
        open();
        QTRY_VERIFY(!window->startingUp());
        QVERIFY(vanishing.isEmpty() || QDir(vanishing).removeRecursively());
        if (edited) { // after the desktop gave Save an access key, less the last separator
            get<QPushButton>("save")->setText("Sa&ved");
            QTest::keyClick(get("text1"), Qt::Key_Backspace);
        }
        Shown expected = shown();
        install("Gangs");
        expected.list = "Gangs";
        expected.save = armed ? "Save" : "Saved";
        expected.clickable = armed;
        QCOMPARE(boxes, QList<Box>{box});
        QCOMPARE(shown(), expected);
        expectOnDisk(made);
    }

#ifdef Q_OS_WIN
    void aFolderOnlyAnAdministratorWrites_data()
    {
        QTest::addColumn<bool>("elevated");
        QTest::addColumn<QMessageBox::StandardButton>("answered");
        QTest::addColumn<platform::Start>("start"); // what Windows' prompt gives
        QTest::addColumn<QList<Box>>("shownBoxes");
        const Box asked{QMessageBox::Question, "Administrator",
                        "Windows Lets Only An Administrator Write The GTA3 Data Folder. Start "
                        "Quillfen As Administrator?",
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::No};
        const auto Yes = QMessageBox::Yes;
        row("answered No", false, QMessageBox::No, platform::Start::Started, QList<Box>{asked});
        row("started as administrator", false, Yes, platform::Start::Started, QList<Box>{asked});
        row("refused at Windows' prompt", false, Yes, platform::Start::Refused, QList<Box>{asked});
        row("not started", false, Yes, platform::Start::Failed,
            QList<Box>{asked, error("Error! Could Not Start Quillfen As Administrator.")});
        // Starting again would not help.
        row("already an administrator", true, QMessageBox::NoButton, platform::Start::Started,
            QList<Box>{notWritten});
    }

    void aFolderOnlyAnAdministratorWrites()
    {
        QFETCH(bool, elevated);
        QFETCH(QMessageBox::StandardButton, answered);
        QFETCH(platform::Start, start);
        QFETCH(QList<Box>, shownBoxes);
        // Made by tests/wine.sh, which runs the suite as a player.
        const QString denied = native("Z:" + qEnvironmentVariable("SUITE_DENIED_FOLDER"));
        if (!platform::deniesNewFiles(denied))
            QSKIP("Needs a folder that denies a write: run as a player under tests/wine.sh");
        // Under Wine every process has a full token, and there is no prompt.
        platform::standIns().elevated = [elevated] { return elevated; };
        platform::standIns().start = [this, start](const QString &program) {
            started << program;
            return start;
        };
        answer = answered;
        QVERIFY(make(setting(denied + sep)));
        open();
        QTRY_VERIFY(!window->startingUp());
        Shown expected = shown();
        install("Gangs");
        expected.list = "Gangs";
        QCOMPARE(boxes, shownBoxes);
        // Quillfen itself, which starts from the saved folder; this window closes for it.
        const bool yes = answered == QMessageBox::Yes;
        QCOMPARE(started,
                 yes ? QStringList{QCoreApplication::applicationFilePath()} : QStringList());
        QCOMPARE(window->isVisible(), !yes || start != platform::Start::Started);
        QCOMPARE(shown(), expected);
        expectOnDisk({file(native(denied + "/pedgrp.dat"), "the game's own groups\r\n")});
    }
#endif
};

QTEST_MAIN(tst_window)
#include "tst_window.moc"
