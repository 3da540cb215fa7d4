// The whole window over a temporary home, program folder and game folder, made once and emptied
// before each test: what a player reads and what lands on disk. Tables close with the rows that
// only POSIX systems stage here (a FIFO, a name ending in a blank, links, a folder that takes no
// new file) or with Windows' own, run under Wine (the registry, the VirtualStore); writes cut
// short and a folder only an administrator writes have a test each.

#include "app/frmmain.h"
#include "folder/settingfile.h"
#include "game/game.h"
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

using platform::RegistryValue;

const QString sep = QDir::separator(), defaultPeds = "Default Peds";
const QString pleaseSet = "Please Set The GTA3 Data Folder";
const QString pathSet = "Path Set. Please Select Your Peds";
const QString gta3 = "/steamapps/common/Grand Theft Auto 3"; // in a Steam library
// The game's own groups, longer than any preset.
const QByteArray gameBytes = QByteArray("MALE01, FEMALE01\r\n").repeated(300);

// What stands at `path`: a link and where it leads, a file's bytes, or what else is there.
QByteArray at(const QString &path)
{
    const QFileInfo info(path);
    QFile file(path);
    if (info.isSymLink())
        return "link to " + QFile::encodeName(info.symLinkTarget());
    if (!info.isFile())
        return info.isDir() ? "a folder" : info.exists() ? "a FIFO" : "nothing";
    return file.open(QFile::ReadOnly) ? file.readAll() : "unreadable";
}

// Something made before the window opens. In a list of what stands afterwards, the kinds up to
// Removed say what is at `path`, and that the folder it is in holds no other file.
struct Made
{
    enum Kind { File, Fifo, Link, Removed, Folder, Game, ReadOnly, Variable, Registry } kind{};
    QString path{};     // a variable's name; the text of a registry value
    QByteArray bytes{}; // a file's; a link's target; a variable's value
    RegistryValue value{};
};
using Setup = QList<Made>;

// What the window shows: the folder box, the status line, Save's caption and whether it can be
// clicked, and the list's text.
struct Shown
{
    QString folder{}, status{}, save{};
    bool clickable = false;
    QString list = defaultPeds;

    Shown listing(const QString &group) const { return {folder, status, save, clickable, group}; }
    auto tied() const { return std::tie(folder, status, save, clickable, list); }
    bool operator==(const Shown &o) const { return tied() == o.tied(); }
};

char *toString(const Shown &s)
{
    const char *state = s.clickable ? "clickable" : "disabled";
    return QTest::toString(QString("\"%1\", \"%2\", %3 %4, list \"%5\"")
                               .arg(s.folder, s.status, s.save, state, s.list));
}

// A message box: its text, title, icon, buttons, and the one Enter presses; by default an error.
struct Box
{
    QString text{}, title = "Error";
    QMessageBox::Icon icon = QMessageBox::Critical;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton byDefault = QMessageBox::Ok;

    auto tied() const { return std::tie(text, title, icon, buttons, byDefault); }
    bool operator==(const Box &o) const { return tied() == o.tied(); }
};

char *toString(const Box &b)
{
    const QString buttons = QString::number(b.buttons.toInt(), 16);
    return QTest::toString(QString("icon %1, \"%2\": \"%3\", buttons %4, %5 by default")
                               .arg(int(b.icon))
                               .arg(b.title, b.text, buttons, QString::number(b.byDefault, 16)));
}

const Box none{}, incorrectPath{"Error! Incorrect Path. Please Correct This Problem."};
const Box unstored{QDir::toNativeSeparators(
    "Error! Could Not Store The Data Folder. Please Check The configs/path Folder.")};
const Box refused{"Please Set GTA3 Peds Group File First", "", QMessageBox::Information};
const QString cannot = "Error! Could Not Install 'Gangs'. Please ";
const Box notWritten{cannot + "Check That The GTA3 Data Folder Can Be Written."};
const Box noPreset{cannot + QDir::toNativeSeparators("Check configs/gang war.dat.")};
const Box saveAgain{cannot + "Save The GTA3 Data Folder Again."};
const Box notStarted{"Error! Could Not Start Quillfen As Administrator."};

// One row of a data table: its name, then a value for each column.
template <class... V> void row(QString name, V... v)
{
    (QTest::newRow(qPrintable(name)) << ... << v);
}

// A column for each of `names`, of the type given for it.
template <class... T, class... N> void columns(N... names)
{
    (QTest::addColumn<T>(names), ...);
}

// The current row's values in the columns `names`, as QFETCH takes each.
template <class... T, class... N> std::tuple<T...> fetch(N... names)
{
    return {*static_cast<T *>(QTest::qData(names, qMetaTypeId<T>()))...};
}

// What the player does once the window shows.
enum Action { Nothing, Saves, Installs, Edits, RemovesTheSavedFolder, RemovesTheGameFile };

} // namespace

class tst_window : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    // The home folder, Quillfen's and the game's data folder in it, the data folder a first run
    // shows, and Steam's folder and a Program Files folder as each system has them.
    QString home, program, data, settingFile, usual, steam, programFiles;
    std::unique_ptr<frmmain> window;
    QMap<QString, QString> answers;     // by the registry's stand-in
    QList<Box> boxes;                   // each one shown
    QMessageBox::StandardButton answer; // to a question; any other box is closed
    QStringList started;                // as administrator

    static QString native(QString path) { return QDir::toNativeSeparators(path); }
    // What the window shows with `f` in the folder box, saved or not, and `s` in the status line.
    static Shown savedIn(QString f, QString s = pathSet) { return {f, s, "Saved", false}; }
    static Shown unsavedIn(QString f, QString s = pleaseSet) { return {f, s, "Save", true}; }
    static QList<Box> shownOnly(Box b) { return b.text.isEmpty() ? QList<Box>() : QList<Box>{b}; }

    static Made file(QString path, QByteArray bytes) { return {Made::File, path, bytes}; }
    static Made folder(QString path) { return {Made::Folder, path}; }
    static Made fifo(QString path) { return {Made::Fifo, path}; }
    static Made link(QString path, QString to) { return {Made::Link, path, QFile::encodeName(to)}; }
    // Something of Quillfen's taken away; afterwards, nothing made there.
    static Made without(QString path) { return {Made::Removed, path}; }
    // gta3.exe beside data/pedgrp.dat with the game's own groups.
    static Made game(QString folder) { return {Made::Game, folder}; }
    static Made readOnly(QString path) { return {Made::ReadOnly, path}; }
    static Made env(QString name, QString to) { return {Made::Variable, name, to.toUtf8()}; }
    // A value the registry's stand-in answers.
    static Made registry(RegistryValue v, QString to) { return {Made::Registry, to, {}, v}; }
    // The setting file, naming `folder` as Save writes it.
    Made setting(QString folder) const { return file(settingFile, folder.toLocal8Bit() + "\r\n"); }
    static QByteArray preset(QString group)
    {
        return at(QString(":/configs/") + catalogue::lookup(group).preset);
    }
    // `path` as Steam's files name a folder: quoted, with Windows' "\" escaped.
    static QByteArray quoted(QString p)
    {
        return '"' + native(p).replace('\\', "\\\\").toUtf8() + '"';
    }
    static QString keyOf(RegistryValue v) { return v.key + "\\" + v.name + char('0' + v.root); }

    bool make(const Made &made)
    {
        QFile out(made.path);
        switch (made.kind) {
        case Made::Folder:
            return QDir().mkpath(made.path);
        case Made::Removed:
            return QDir(made.path).removeRecursively() && (!out.exists() || out.remove());
        case Made::Game:
            return make(file(made.path + "/gta3.exe", "")) &&
                   make(file(made.path + "/data/pedgrp.dat", gameBytes));
        case Made::ReadOnly:
            return out.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        case Made::Variable:
            return qputenv(qPrintable(made.path), made.bytes);
        case Made::Registry: // where Windows has no case
            answers[keyOf(made.value).toLower()] = made.path;
            return true;
        default:
            if (!QDir().mkpath(QFileInfo(made.path).path()))
                return false;
        }
        if (made.kind == Made::Link)
            return QFile::link(QFile::decodeName(made.bytes), made.path);
        if (made.kind == Made::Fifo)
            return QProcess::execute("mkfifo", {made.path}) == 0;
        return out.open(QIODevice::WriteOnly) && out.write(made.bytes) == made.bytes.size();
    }

    bool make(const Setup &setup)
    {
        return std::all_of(setup.begin(), setup.end(), [this](const Made &m) { return make(m); });
    }

    // The window over `setup`, once it shows.
    void open(const Setup &setup = {}, const frmmain::StartupRead &read = startup::read)
    {
        QVERIFY(make(setup));
        window = std::make_unique<frmmain>(native(program), read);
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

    // What the player does, as a row names it; what they removed.
    QString act(Action action)
    {
        const QString saved = window->activeDataFolder();
        if (action == Saves) {
            get<QLineEdit>("text1")->setText(native(data));
            get<QPushButton>("save")->click();
        } else if (action == Installs) {
            install("Gangs");
        } else if (action == Edits) { // after the desktop gave Save an access key
            get<QPushButton>("save")->setText("Sa&ved");
            QTest::keyClick(get("text1"), Qt::Key_Backspace);
        } else if (action == RemovesTheSavedFolder) {
            return QDir(saved).removeRecursively() ? saved : QString();
        } else if (action == RemovesTheGameFile) {
            return QFile::remove(saved + "pedgrp.dat") ? saved + "pedgrp.dat" : QString();
        }
        return {};
    }

    // Installs `text`, chosen from the list, or typed and entered.
    void install(const QString &text, bool typed = false)
    {
        auto *List1 = get<QComboBox>("List1");
        List1->setCurrentIndex(typed ? -1 : List1->findText(text));
        if (typed) {
            QTest::keyClicks(List1->lineEdit(), text);
            QTest::keyClick(List1->lineEdit(), Qt::Key_Return);
        }
        get<QPushButton>("install")->click();
    }

    // Each of `after` stands as listed, the folders they are in hold no other file, and Quillfen's
    // presets are as shipped.
    void expectOnDisk(const Setup &after)
    {
        QMap<QString, QStringList> files;
        for (const Made &made : after) {
            // By kind, up to Removed.
            const QByteArray stands[] = {made.bytes, "a FIFO", "link to " + made.bytes, "nothing"};
            if (made.kind <= Made::Removed)
                QCOMPARE(at(made.path), stands[made.kind]);
            if (made.kind < Made::Removed)
                files[QFileInfo(made.path).path()] << QFileInfo(made.path).fileName();
        }
        const auto kinds = QDir::Files | QDir::System | QDir::Hidden; // a FIFO is a system entry
        for (auto it = files.begin(); it != files.end(); ++it) {
            it->sort();
            QCOMPARE(QDir(it.key()).entryList(kinds, QDir::Name), *it);
        }
        for (const QString &name : QDir(":/configs").entryList())
            if (QFileInfo::exists(program + "/configs/" + name))
                QCOMPARE(at(program + "/configs/" + name), at(":/configs/" + name));
    }

    // What the window shows at once and once start-up has read the player's folders; what is
    // stored is left until the player saves.
    void startsUp()
    {
        const auto [made, atOnce, later] = fetch<Setup, Shown, Shown>("made", "atOnce", "later");
        QVERIFY(make(made));
        const QByteArray stored = at(settingFile);
        window = std::make_unique<frmmain>(native(program));
        auto *List1 = get<QComboBox>("List1");
        if (atOnce.list != defaultPeds) // chosen before the window shows
            List1->setCurrentIndex(List1->findText(atOnce.list));
        QCOMPARE(shown(), atOnce);
        window->show();
        QTRY_VERIFY(!window->startingUp());
        QCOMPARE(shown(), later);
        QCOMPARE(at(settingFile), stored);
    }

private slots:
    void init()
    {
        // What a test left read-only is emptied too.
        const auto all = QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot;
        for (QDirIterator it(home, all, QDirIterator::Subdirectories); it.hasNext();)
            QFile::setPermissions(it.next(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QDir(home).removeRecursively() && QDir().mkpath(data));
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
            return answers.value(keyOf(asked).toLower());
        };
    }

    // Nothing is read beside the window into the next test.
    void cleanup() { QTRY_VERIFY(!window || !window->startingUp()); }

    void startUpFollowsTheSettingFile_data()
    {
        columns<Setup, Shown, Shown>("made", "atOnce", "later");
        // Without `later`, what shows at once stays.
        const auto row = [](const char *name, const Setup &made, Shown atOnce, Shown later = {}) {
            ::row(name, made, atOnce, later.save.isEmpty() ? atOnce : later);
        };
        const QString saved = native(data) + sep, joined = native(data + "/data/");
        const QString gone = native(data + "/gone/"), game = data + "/pedgrp.dat";
        const Made gangs = file(game, preset("Gangs")), cfg = setting(saved);
        row("first run", {}, unsavedIn(usual));
        const QByteArray lines = saved.toLocal8Bit() + "\r\n" + native("da\rta/").toLocal8Bit();
        row("lines joined",
            {file(settingFile, lines + "\n"), file(joined + "pedgrp.dat", gameBytes)},
            savedIn(joined));
        row("zero bytes", {file(settingFile, "")}, savedIn(""));
        row("UTF-8 behind its mark", {file(settingFile, "\xef\xbb\xbf\xce\xbb\\")}, savedIn("λ\\"));
        // A line, then far too much for a folder, if only line ends: the line is offered, unsaved.
        row("then 30 MB of line ends", {file(settingFile, "c:\\\r\n" + QByteArray(30 << 20, '\n'))},
            unsavedIn("c:\\"));
        // A player coming back is told which group the game holds, once it is read beside the
        // window, and it is the one Install puts in again.
        const Shown installed = savedIn(saved, "'Gangs' Installed");
        row("a preset in the game folder", {cfg, gangs}, savedIn(saved),
            installed.listing("Gangs"));
        row("a preset, and another group chosen", {cfg, gangs}, savedIn(saved).listing("Scum"),
            installed.listing("Scum"));
        row("the game's own file", {cfg, file(game, gameBytes)}, savedIn(saved));
        row("a preset's label in another case", {cfg, file(game, "# Quillfen preset: gangs\r\n")},
            savedIn(saved));
        // Moved, uninstalled or unplugged: unsaved, and nothing stored until Save.
        row("the saved folder gone", {setting(gone)}, savedIn(gone), unsavedIn(gone));
        // The group of the file the game reads: the ASI loader's copy, and none of a mod's.
        const QString update = home + "/update/data/pedgrp.dat";
        row("the update folder's group",
            {cfg, file(game, gameBytes), file(update, preset("Gangs"))}, savedIn(saved),
            installed.listing("Gangs"));
        row("a mod's copy in its place",
            {cfg, gangs, file(home + "/modloader.asi", ""),
             file(home + "/modloader/m/pedgrp.dat", preset("Scum"))},
            savedIn(saved));
    }

    void startUpFollowsTheSettingFile() { startsUp(); }
    void firstRunOffersTheInstalledGame() { startsUp(); }

    void firstRunOffersTheInstalledGame_data()
    {
        columns<Setup, Shown, Shown>("made", "atOnce", "later");
        // The game found is offered in its data folder `found`; none, the usual one.
        const auto row = [this](const char *name, const Setup &made, const QString &found) {
            ::row(name, made, unsavedIn(usual), unsavedIn(found.isEmpty() ? usual : native(found)));
        };
        const QString inSteam = steam + gta3, lib = home + "/lib", inLib = lib + gta3;
        const QString disc = programFiles + "/Rockstar Games/GTAIII", apps = steam + "/steamapps";
        const QString steamData = inSteam + "/data", libData = inLib + "/data";
        const QString discData = disc + "/data", listing = apps + "/libraryfolders.vdf";
        const QString config = steam + "/config/libraryfolders.vdf";
        const QString manifest = apps + "/appmanifest_12100.acf";
        const auto installdir = [](const char *folder) {
            return R"("AppState" { "installdir" )" + quoted(folder) + " }";
        };
        // Steam's list of libraries as written before mid-2021, then from then on, and now.
        const QByteArray before =
            R"("LibraryFolders" { "TimeNextStatsReport" "16" "1" )" + quoted(lib) + " }";
        const QByteArray then =
            R"("libraryfolders" { "1" { "path" )" + quoted(lib) + R"( "mounted" "1" } })";
        const QByteArray now = "// Steam's own\n\"libraryfolders\" { \"0\" { \"path\" " +
                               quoted(steam) + R"( "apps" { "7" "1" } } "1" { "path" )" +
                               quoted(lib) + R"( "apps" { "12100" "1" } } })";
        row("nothing installed", {}, "");
        row("in the Steam folder", {game(inSteam)}, steamData);
        row("a library listed before mid-2021", {file(listing, before), game(inLib)}, libData);
        row("a library listed in config/", {file(config, then), game(inLib)}, libData);
        row("a library listed after Steam's own", {file(listing, now), game(inLib)}, libData);
        const QByteArray gone = R"("libraryfolders" { "1" { "path" )" + quoted(home + "/gone") +
                                R"( } "2" { "path" )" + quoted(lib) + " } }";
        row("a library that is gone", {file(listing, gone), game(inLib)}, libData);
        const QString own = apps + "/common/GTA III";
        row("an installdir of its own", {file(manifest, installdir("GTA III")), game(own)},
            own + "/data");
        row("names in other cases",
            {file(inSteam + "/GTA3.EXE", ""), file(inSteam + "/Data/PEDGRP.DAT", "")},
            inSteam + "/Data");
        row("the Definitive Edition alone",
            {file(apps + "/appmanifest_1546970.acf", installdir("GTA Trilogy")),
             file(apps + "/common/GTA Trilogy/Gameface/gta3.exe", "")},
            "");
        row("the disc's install", {game(disc)}, discData);
        row("Steam's before the disc's", {game(disc), game(inSteam)}, steamData);
        row("a game without pedgrp.dat", {file(inSteam + "/gta3.exe", ""), game(disc)}, discData);
        row("a game without gta3.exe", {file(steamData + "/pedgrp.dat", ""), game(disc)}, discData);
        row("an installdir out of the library",
            {file(manifest, installdir("..")), game(apps), file(apps + "/common/x/gta3.exe", "")},
            "");
        // Old libraries name Steam's folders in capitals, and a manifest may not match the case.
        const QString capitals = lib + "/SteamApps";
        row("SteamApps, and an installdir in another case",
            {file(listing, then), file(capitals + "/appmanifest_12100.acf", installdir("gta iii")),
             game(capitals + "/common/GTA III")},
            capitals + "/common/GTA III/data");
        // Steam's files as they may be found: none of them holds the window up or stops the
        // search, and what cannot be read ends the read.
        const qsizetype afterPath = then.indexOf(quoted(lib)) + quoted(lib).size();
        row("a listing cut short", {file(listing, then.left(afterPath)), game(inLib)}, libData);
        row("a listing cut in a path", {file(listing, then.left(afterPath - 1)), game(inLib)}, "");
        const QByteArray keyless = R"("libraryfolders" { "0" { "path" )" + quoted(home + "/x") +
                                   R"( { "1" )" + quoted(lib) + " } }";
        row("a block without a key", {file(listing, keyless), game(inLib)}, "");
        const QByteArray deep = "\"libraryfolders\" {" + QByteArray("a{").repeated(100000);
        row("a listing nested 100,000 deep", {file(config, deep), game(inSteam)}, steamData);
        // Not Steam's, and not read: a far larger one would be held in memory.
        const QByteArray large = then + QByteArray(1 << 20, ' ');
        row("a listing far too large", {file(config, large), game(inLib)}, "");
        // A saved folder that is gone: a first run, offering the game where it is now.
        const QString saved = native(home + "/gone/");
        ::row("the saved folder gone", Setup{setting(saved), game(inSteam)}, savedIn(saved),
              unsavedIn(native(steamData)));
        // Typed by hand, or by an earlier tool: the game never reads a file written there.
        const QString gameFolder = native(home + "/gta3") + sep;
        ::row("the game's own folder saved",
              Setup{setting(gameFolder), game(home + "/gta3"), game(inSteam)}, savedIn(gameFolder),
              unsavedIn(native(steamData)));
        const QString launcher = programFiles + "/Rockstar Games/Grand Theft Auto III";
        row("the launcher's folder", {game(launcher)}, launcher + "/data");
#ifdef Q_OS_UNIX
        // A plain open of either would wait for a writer, and the search with it.
        row("a FIFO as Steam's list of libraries", {fifo(listing), game(disc)}, discData);
        row("a FIFO as the game's manifest", {fifo(manifest), game(inSteam)}, steamData);
        const QString xdg = home + "/xdg/Steam" + gta3;
        row("Steam in XDG_DATA_HOME", {env("XDG_DATA_HOME", home + "/xdg"), game(xdg)},
            xdg + "/data");
        // Its sandbox names its own folder and its home as if they were the user's.
        const QString flatpak = home + "/.var/app/com.valvesoftware.Steam";
        const QByteArray sandboxed = R"("libraryfolders" { "0" { "path" )" + quoted(steam) +
                                     R"( } "1" { "path" )" + quoted(home + "/Games") + " } }";
        row("a library in the Flatpak Steam's home",
            {file(flatpak + "/.local/share/Steam/steamapps/libraryfolders.vdf", sandboxed),
             game(flatpak + "/Games" + gta3)},
            flatpak + "/Games" + gta3 + "/data");
        const QString inPrefix = "/drive_c/Program Files (x86)/Rockstar Games/GTAIII";
        const QString prefix = home + "/pfx" + inPrefix, real = home + "/real" + gta3;
        row("the disc's install in WINEPREFIX", {env("WINEPREFIX", home + "/pfx"), game(prefix)},
            prefix + "/data");
        row("Steam through its link", {link(home + "/.steam/root", home + "/real"), game(real)},
            real + "/data");
        // The Wine prefixes of game managers, and Proton's in a second library.
        const QString games = home + "/Games", lutris = games + "/gta-iii" + inPrefix;
        const QString proton = lib + "/steamapps/compatdata/9/pfx" + inPrefix;
        row("a Lutris prefix", {game(lutris)}, lutris + "/data");
        row("a Proton prefix in a second library", {file(listing, then), game(proton)},
            proton + "/data");
        row("a folder of prefixes holding junk",
            {fifo(games + "/a"), link(games + "/b", games + "/b"), file(games + "/c", "junk"),
             fifo(games + "/d/drive_c"), link(games + "/e", games + "/a"), game(lutris)},
            lutris + "/data");
#else
        // Steam and Rockstar's programs are 32-bit: the machine's keys are in its 32-bit view.
        const auto machine = [](const char *key, const char *name, const QString &folder) {
            return registry({RegistryValue::LocalMachine32, key, name}, folder);
        };
        const QString su = home + "/su", rgl = home + "/rgl", cd = home + "/cd";
        const QString lower = home + "/steam", upper = home + "/Steam";
        const Made uninstall =
            machine("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 12100",
                    "InstallLocation", su);
        const Made rockstar =
            machine("SOFTWARE\\Rockstar Games\\Grand Theft Auto III", "InstallFolder", rgl);
        const Made installer = machine("SOFTWARE\\Rockstar Games\\GTAIII", "Path", cd);
        const Made steamPath =
            registry({RegistryValue::CurrentUser, "Software\\Valve\\Steam", "SteamPath"}, lower);
        // Steam writes its own folder in lower case; the folder is offered as it is on disk.
        row("Steam named by the user's registry", {steamPath, game(upper + gta3)},
            upper + gta3 + "/data");
        row("Steam named by the machine's",
            {machine("SOFTWARE\\Valve\\Steam", "InstallPath", lower), game(lower + gta3)},
            lower + gta3 + "/data");
        row("Steam's uninstall entry", {uninstall, game(su)}, su + "/data");
        row("the launcher's key", {rockstar, game(rgl)}, rgl + "/data");
        row("the installer's key", {installer, game(cd)}, cd + "/data");
        row("Steam's before the launcher's", {rockstar, game(rgl), game(inSteam)}, steamData);
#endif
    }

    void aLateStartUpReadLeavesWhatThePlayerDid_data()
    {
        columns<Action, Shown, Box>("action", "later", "box");
        const QString gone = native(data + "/gone/");
        row("saved", Saves, savedIn(native(data) + sep), none);
        row("installed", Installs, unsavedIn(gone, pathSet).listing("Gangs"), saveAgain);
        row("edited", Edits, unsavedIn(gone.chopped(1), pathSet), none);
    }

    // The saved folder is gone and the game is in Steam's: a read that comes in after the player
    // acted would offer that in place of what they did.
    void aLateStartUpReadLeavesWhatThePlayerDid()
    {
        const auto [action, later, box] = fetch<Action, Shown, Box>("action", "later", "box");
        const Setup made{setting(native(data + "/gone/")), file(data + "/pedgrp.dat", gameBytes),
                         game(steam + gta3)};
        auto reading = std::make_shared<QSemaphore>(), latch = std::make_shared<QSemaphore>();
        const auto release = qScopeGuard([latch] { latch->release(); });
        open(made, [reading, latch](const startup::Question &question) {
            reading->release();
            latch->acquire();
            return startup::read(question);
        });
        QTRY_VERIFY(reading->available());
        act(action);
        QVERIFY(window->startingUp());
        latch->release();
        QTRY_VERIFY(!window->startingUp());
        QCOMPARE(shown(), later);
        QCOMPARE(boxes, shownOnly(box));
    }

    void saveChecksTheFolderAndStoresIt_data()
    {
        // What Save saves: none, when it refuses.
        columns<Setup, QString, QString, Box>("made", "typed", "saved", "box");
        const auto row = [](const char *name, const Setup &made, QString typed, QString saved,
                            const Box &box = none) { ::row(name, made, typed, saved, box); };
        const auto gameIn = [this](QString in) {
            return file(data + in + "/pedgrp.dat", gameBytes);
        };
        const auto in = [this](const char *name) { return native(data + name); };
        const QString typed = native(data), saved = typed + sep;
        row("a folder with the game file", {gameIn("")}, typed, saved);
        row("the saved text again: doubled separator", {gameIn("")}, saved, saved + sep);
        row("the game file in capitals", {file(data + "/up/PEDGRP.DAT", gameBytes)}, in("/up"),
            in("/up/"));
        row("letters in the code page", {gameIn("/café")}, in("/café"), in("/café/"));
        row("letters outside the code page", {gameIn("/λ")}, in("/λ"), in("/λ/"));
        // Blanks and line ends go first, then Explorer's quotes.
        row("pasted with quotes and blanks", {gameIn("")}, " \t\"" + typed + "\"\r\n", saved);
        // As a file manager copies a folder: percent-encoded UTF-8 after file:///.
        const QString address = QUrl::fromLocalFile(data + "/λ games").toString(QUrl::FullyEncoded);
        row("a file: address", {gameIn("/λ games")}, " " + address + "\n", in("/λ games/"));
        // The game's folder, gta3.exe or pedgrp.dat, as handed over from a file manager.
        row("the game's folder", {gameIn("/Data")}, typed, in("/Data/"));
        row("pedgrp.dat itself", {gameIn("")}, "\"" + in("/pedgrp.dat") + "\"", saved);
        row("gta3.exe", {file(data + "/gta3.exe", ""), gameIn("/data")}, in("/gta3.exe"),
            in("/data/"));
        row("another file of the game's", {file(data + "/readme.txt", gameBytes)},
            in("/readme.txt"), "", incorrectPath);
        row("no game file", {folder(data + "/empty")}, in("/empty"), "", incorrectPath);
        row("a folder as the game file", {folder(data + "/pedgrp.dat")}, typed, "", incorrectPath);
        const QString relative = native(QDir::current().relativeFilePath(data));
        row("a relative folder", {gameIn("")}, relative, "", incorrectPath);
        row("no configs/path to store it in", {gameIn(""), without(program + "/configs/path")},
            typed, saved, unstored);
        // On Windows this depends on the current drive; elsewhere it is relative as well.
        row("a folder on the current drive", {gameIn("")}, typed.mid(2), "", incorrectPath);
#ifdef Q_OS_UNIX
        row("a name ending in a blank", {gameIn("/b ")}, in("/b "), in("/b /"));
        row("~ for the home folder", {gameIn("")}, "~/gta3", saved);
        // An open would block the window.
        row("a FIFO as the game file", {fifo(data + "/pedgrp.dat")}, typed, "", incorrectPath);
        // A line end would split the stored folder in two.
        row("a line end in it", {gameIn("/a\nb")}, in("/a\nb"), in("/a\nb/"), unstored);
#endif
    }

    void saveChecksTheFolderAndStoresIt()
    {
        const auto [made, typed, saved, box] =
            fetch<Setup, QString, QString, Box>("made", "typed", "saved", "box");
        // A refused folder leaves the earlier one in place.
        const QString earlier = native(data) + sep;
        open(saved.isEmpty() ? made + Setup{setting(earlier)} : made);
        const QByteArray storedBefore = at(settingFile);
        get<QLineEdit>("text1")->setText(typed);
        get("save")->setFocus(); // and pressed by keyboard, as it hands the focus on
        QTest::keyClick(get("save"), Qt::Key_Space);
        const bool fine = box.text.isEmpty();
        QCOMPARE(boxes, shownOnly(box));
        QCOMPARE(shown(), fine ? savedIn(saved) : unsavedIn("", pathSet));
        QCOMPARE(window->activeDataFolder(), saved.isEmpty() ? earlier : saved);
        // In the system code page, as earlier versions wrote it, wherever that holds the folder.
        const QByteArray local = saved.toLocal8Bit(), utf8 = "\xef\xbb\xbf" + saved.toUtf8();
        const QByteArray stored = QString::fromLocal8Bit(local) == saved ? local : utf8;
        QCOMPARE(at(settingFile), fine ? stored + "\r\n" : storedBefore);
        // The list is next: a group typed at once replaces the one shown.
        QTest::keyClicks(window->focusWidget(), "Scum");
        QCOMPARE(get<QComboBox>("List1")->currentText(), fine ? "Scum" : defaultPeds);
    }

    void aDropFillsTheFolderBox_data()
    {
        // What Save saves afterwards: none, when the drop changes nothing.
        columns<QList<QUrl>, QString, QString>("urls", "text", "saved");
        const auto in = [this](const char *name) { return QUrl::fromLocalFile(data + name); };
        // What Save takes of a path is the save table's.
        row("gta3.exe", QList<QUrl>{in("/gta3.exe")}, "", native(data + "/data/"));
        row("two files", QList<QUrl>{in("/gta3.exe"), in("/data/pedgrp.dat")}, "", "");
        row("a web address", QList<QUrl>{QUrl("https://example.org/gta3.exe")}, "", "");
        row("text naming the folder", QList<QUrl>{}, native(data), "");
    }

    void aDropFillsTheFolderBox()
    {
        const auto [urls, text, saved] =
            fetch<QList<QUrl>, QString, QString>("urls", "text", "saved");
        const QString before = native(data) + sep;
        open({file(data + "/gta3.exe", ""), file(data + "/readme.txt", gameBytes),
              file(data + "/data/pedgrp.dat", gameBytes), setting(before)});
        QMimeData mime;
        mime.setUrls(urls);
        mime.setText(text);
        // Over the folder box, which hands it to the window.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(get("text1"), &enter);
        if (enter.isAccepted())
            QApplication::sendEvent(get("text1"), &drop);
        QCOMPARE(shown(), saved.isEmpty() ? savedIn(before)
                                          : unsavedIn(native(urls[0].toLocalFile()), pathSet));
        QTest::mouseClick(get("save"), Qt::LeftButton);
        QCOMPARE(window->activeDataFolder(), saved.isEmpty() ? before : saved);
    }

#ifdef Q_OS_UNIX
    // A full disk or a kill part-way through a write: the setting file, the game's file while its
    // copy is kept, and while the preset goes over it, are each left as they were.
    void aWriteCutShortLeavesTheFileAsItWas_data()
    {
        columns<bool>("kill");
        row("on a full disk", false);
        row("killed", true);
    }

    void aWriteCutShortLeavesTheFileAsItWas()
    {
        const auto [kill] = fetch<bool>("kill");
        const QString game = data + "/pedgrp.dat";
        const qint64 preset = QFileInfo(":/configs/gang war.dat").size(), cut = kill ? -1 : 1;
        Setup before{file(settingFile, "earlier\r\n"), file(game, gameBytes)};
        QVERIFY(make(before));
        const auto store = [&] { return settingfile::write(program, QString(99, 'x')); };
        const auto install = [&] {
            return pedgroups::install(program, catalogue::lookup("Gangs"), data + sep).outcome ==
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
        // The text chosen from the list, or typed then entered; the group said to be installed.
        columns<Setup, QString, bool, QString, Setup>("made", "text", "typed", "group", "after");
        const auto row = [](const QString &name, const Setup &made, QString text,
                            const Setup &after, bool typed = false, QString group = {}) {
            ::row(name, made, text, typed, group.isEmpty() ? text : group, after);
        };
        const QString game = data + "/pedgrp.dat";
        const Made saved = setting(native(data) + sep), own = file(game, gameBytes);
        const Made old = file(game, "old"), kept = file(game + ".orig", gameBytes);
        const auto holding = [&](const QString &group) { return file(game, preset(group)); };
        // Over a preset, which is never kept, each entry installs the preset that names it.
        for (const QString &group : catalogue::labels())
            row(group, {saved, holding(defaultPeds)}, group, {holding(group)});
        row("the first install keeps the game's file", {saved, own}, "Gangs",
            {holding("Gangs"), kept});
        row("typed, then Enter", {saved, own}, "Italians", {holding("Italians"), kept}, true);
        row("a later install leaves the copy alone", {saved, old, kept}, "Gangs",
            {holding("Gangs"), kept});
        row("Default Peds puts the copy back", {saved, old, kept}, defaultPeds, {own, kept});
        row("Default Peds leaves the game's own", {saved, own}, defaultPeds, {own, kept});
        row("a text in another case puts it back", {saved, old, kept}, "gangs", {own, kept}, true,
            defaultPeds);
        row("a trailing blank puts it back", {saved, old, kept}, "Gangs ", {own, kept}, true,
            defaultPeds);
        const QString capitals = data + "/PEDGRP.DAT";
        row("the game file in capitals", {saved, file(capitals, gameBytes)}, "Scum",
            {file(capitals, preset("Scum")), file(capitals + ".orig", gameBytes)});
        // The ASI loader's copy is the one the game reads; the data folder's own stays.
        const QString update = home + "/update/data/pedgrp.dat";
        const Made updated = file(update, "update's"),
                   updateKept = file(update + ".orig", "update's");
        row("the update folder's copy", {saved, own, updated}, "Gangs",
            {own, file(update, preset("Gangs")), updateKept});
        row("Default Peds puts the update folder's back",
            {saved, own, file(update, "x"), updateKept}, defaultPeds, {own, updated, updateKept});
        // Each preset names itself: none is kept as the game's own groups, to be put back later.
        row("a preset is not kept", {saved, holding("Gangs")}, "Italians", {holding("Italians")});
        const QString beside = program + "/data/pedgrp.dat";
        row("Quillfen in the game's folder",
            {setting(native(program + "/data/")), file(beside, gameBytes)}, "Gangs",
            {file(beside, preset("Gangs")), file(beside + ".orig", gameBytes)});
#ifdef Q_OS_UNIX
        const QString outside = home + "/elsewhere/pedgrp.dat";
        row("a link elsewhere is written through",
            {saved, file(outside, gameBytes), link(game, outside)}, "Gangs",
            {link(game, outside), kept, file(outside, preset("Gangs"))});
#else
        // The game reads the copy Windows made for an old program's write; the real one stays.
        const QString real = home + "/pf86/Rockstar Games/GTAIII/data";
        const QString copy = home + "/local/VirtualStore" + real.mid(2) + "/pedgrp.dat";
        const Made untouched = file(real + "/pedgrp.dat", "the real one");
        row("the game's copy in the VirtualStore",
            {setting(native(real) + sep), untouched, file(copy, gameBytes)}, "Gangs",
            {untouched, file(copy, preset("Gangs")), file(copy + ".orig", gameBytes)});
        // A game run as administrator, as many do to mend its saving, reads the real one.
        const QString layers =
            "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
        const QString exe = native(real.chopped(5) + "/gta3.exe");
        row("the real one, for a game run as administrator",
            {setting(native(real) + sep), untouched, file(copy, gameBytes),
             registry({RegistryValue::LocalMachine, layers, exe}, "~ WINXPSP3 RUNASADMIN")},
            "Gangs",
            {file(copy, gameBytes), file(real + "/pedgrp.dat", preset("Gangs")),
             file(real + "/pedgrp.dat.orig", "the real one")});
#endif
    }

    // Which pedgrp.dat the game reads, with the loaders players' guides set up, from the game's
    // folder above the data folder: where a mod's copy takes its place, nothing may be written.
    void theGameReadsOneFile_data()
    {
        columns<Setup, QString, bool>("made", "read", "ofAMod");
        const QString mod = "/modloader/Cool Peds/data/pedgrp.dat", own = "/gta3/pedgrp.dat";
        const auto row = [this, own](const char *name, QStringList made, QString read,
                                     bool ofAMod) {
            Setup files{file(home + own, "")};
            for (const QString &path : made)
                files << file(home + path, "");
            ::row(name, files, read, ofAMod);
        };
        const QString deep = "/modloader/deep/2/3/4/5/6/7/8/9/10/11/12/13/14/15";
        row("the data folder's own", {}, own, false);
        row("the update folder's", {"/update/data/pedgrp.dat"}, "/update/data/pedgrp.dat", false);
        row("a mod's", {"/modloader.asi", mod}, mod, true);
        row("Mod Loader in Plugins, in capitals", {"/Plugins/ModLoader.asi", mod}, mod, true);
        row("a mod's before the update folder's",
            {"/modloader.asi", "/update/data/pedgrp.dat", mod}, mod, true);
        row("16 levels below modloader", {"/modloader.asi", deep + "/pedgrp.dat"},
            deep + "/pedgrp.dat", true);
        // What Mod Loader never reads changes nothing.
        row("one 17 levels below", {"/modloader.asi", deep + "/16/pedgrp.dat"}, own, false);
        row("a mod without modloader.asi", {mod}, own, false);
        row("a copy lying in modloader", {"/modloader.asi", "/modloader/pedgrp.dat"}, own, false);
        row("a mod named with a dot", {"/modloader.asi", "/modloader/.off/pedgrp.dat"}, own, false);
#ifdef Q_OS_UNIX
        // The game asks for PEDGRP.DAT, which Wine opens before any other spelling.
        row("PEDGRP.DAT first", {"/gta3/PEDGRP.DAT"}, "/gta3/PEDGRP.DAT", false);
        ::row("a mod through a link",
              Setup{file(home + own, ""), file(home + "/modloader.asi", ""),
                    file(home + "/elsewhere/pedgrp.dat", ""),
                    link(home + "/modloader/linked", home + "/elsewhere")},
              QString(own), false);
#endif
    }

    void theGameReadsOneFile()
    {
        const auto [made, read, ofAMod] = fetch<Setup, QString, bool>("made", "read", "ofAMod");
        QVERIFY(make(made));
        const game::GameFile file = game::fileRead(native(data) + sep);
        QCOMPARE(native(file.path), native(home + read));
        QCOMPARE(file.ofAMod, ofAMod);
    }

    void anInstallPutsTheGroupIn()
    {
        const auto [made, text, typed, group, after] =
            fetch<Setup, QString, bool, QString, Setup>("made", "text", "typed", "group", "after");
        open(made);
        QTRY_VERIFY(!window->startingUp());
        Shown expected = shown();
        install(text, typed);
        expected.status = "'" + group + "' Installed";
        QCOMPARE(boxes, QList<Box>());
        QCOMPARE(shown(), expected.listing(text));
        // Enter neither adds the text to the list nor completes it.
        QCOMPARE(get<QComboBox>("List1")->count(), 15);
        // Start-up reads the group back from the first line.
        QVERIFY(preset(group).startsWith("# Quillfen preset: " + group.toUtf8() + "\r\n"));
        expectOnDisk(after);
    }

    void aRefusedInstallLeavesTheGameFile_data()
    {
        // What is made is what stands afterwards; first, what the player does once start-up has
        // read their folders.
        columns<Setup, Action, Box>("made", "first", "box");
        const auto row = [](const QString &name, const Setup &made, const Box &box,
                            Action first = Nothing) { ::row(name, made, first, box); };
        const QString game = data + "/pedgrp.dat";
        const QString relative = native(QDir::current().relativeFilePath(data)) + sep;
        const Made saved = setting(native(data) + sep), own = file(game, gameBytes);
        row("refused before any save", {own}, refused);
        row("refused after an edit", {saved, own}, refused, Edits);
        row("the preset missing", {saved, own, without(program + "/configs/gang war.dat")},
            noPreset);
        row("a folder as the game file", {saved, folder(game)}, notWritten);
        row("a read-only game file", {saved, own, readOnly(game)}, notWritten);
        row("the saved folder gone",
            {setting(native(data + "/gone/")), own, file(data + "/gone/pedgrp.dat", gameBytes)},
            saveAgain, RemovesTheSavedFolder);
        row("the saved folder's game file gone", {saved, own}, saveAgain, RemovesTheGameFile);
        // Mod Loader gives the game a mod's copy instead, which Quillfen never writes.
        const QString mod = home + "/modloader/Cool Peds/data/pedgrp.dat";
        row("a Mod Loader mod's copy in its place",
            {saved, own, file(home + "/modloader.asi", ""), file(mod, "mod's")},
            {"Error! Could Not Install 'Gangs'. The Game Reads " +
             native("modloader/Cool Peds/data/pedgrp.dat") +
             " Instead: Please Move That Mod Out Of The modloader Folder."});
        // Cut at the NUL, the path would name the game file.
        row("a NUL in the saved folder", {setting(native(game) + QChar(0) + sep), own}, saveAgain);
        // The game file is reached from the working folder, and nothing is written there.
        row("a relative saved folder", {setting(relative), own}, saveAgain);
        row("an empty saved folder", {setting(""), own}, saveAgain);
#ifdef Q_OS_UNIX
        row("a FIFO as the game file, which would block", {saved, fifo(game)}, notWritten);
        // Writing straight onto the game file could leave a mix of two files.
        row("a folder that takes no new file",
            {saved, file(game, "old"), file(game + ".orig", gameBytes), readOnly(data)},
            notWritten);
        // The preset would be rewritten, and install Gangs under the name of Italians.
        row("a link to a preset", {saved, link(game, program + "/configs/italians.dat")},
            notWritten);
        const QString nowhere = home + "/elsewhere/orig";
        row("a kept copy that links to nowhere",
            {saved, own, folder(home + "/elsewhere"), link(game + ".orig", nowhere),
             without(nowhere)},
            notWritten);
#endif
    }

    // The game file is left as it was, and so is the status line, lest it read as a success.
    void aRefusedInstallLeavesTheGameFile()
    {
        const auto [made, first, box] = fetch<Setup, Action, Box>("made", "first", "box");
        open(made);
        QTRY_VERIFY(!window->startingUp());
        const QString removed = act(first);
        Shown expected = shown().listing("Gangs");
        install("Gangs");
        // Save is armed for the folder to be saved again, as the message asks.
        if (box == saveAgain)
            expected = unsavedIn(expected.folder, expected.status).listing("Gangs");
        QCOMPARE(boxes, QList<Box>{box});
        QCOMPARE(shown(), expected);
        expectOnDisk(removed.isEmpty() ? made : Setup{without(removed)});
    }

#ifdef Q_OS_WIN
    void aFolderOnlyAnAdministratorWrites_data()
    {
        // Start: what Windows' prompt gives.
        columns<bool, QMessageBox::StandardButton, platform::Start, QList<Box>>(
            "elevated", "answered", "start", "shownBoxes");
        const Box asked{"Windows Lets Only An Administrator Write The GTA3 Data Folder. Start "
                        "Quillfen As Administrator?",
                        "Administrator", QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                        QMessageBox::No};
        const auto yes = QMessageBox::Yes;
        using platform::Start;
        row("answered No", false, QMessageBox::No, Start::Started, QList<Box>{asked});
        row("started as administrator", false, yes, Start::Started, QList<Box>{asked});
        row("refused at Windows' prompt", false, yes, Start::Refused, QList<Box>{asked});
        row("not started", false, yes, Start::Failed, QList<Box>{asked, notStarted});
        // Starting again would not help.
        row("already an administrator", true, QMessageBox::NoButton, Start::Started,
            QList<Box>{notWritten});
    }

    void aFolderOnlyAnAdministratorWrites()
    {
        const auto [elevated, answered, start, shownBoxes] =
            fetch<bool, QMessageBox::StandardButton, platform::Start, QList<Box>>(
                "elevated", "answered", "start", "shownBoxes");
        // Made by tests/wine.sh, which runs the suite as a player.
        const QString denied = native("Z:" + qEnvironmentVariable("SUITE_DENIED_FOLDER"));
        if (!platform::deniesNewFiles(denied))
            QSKIP("Needs a folder that denies a write: run as a player under tests/wine.sh");
        // Under Wine every process has a full token, and there is no prompt.
        platform::standIns().elevated = [is = elevated] { return is; };
        platform::standIns().start = [this, gives = start](const QString &program) {
            started << program;
            return gives;
        };
        answer = answered;
        open({setting(denied + sep)});
        QTRY_VERIFY(!window->startingUp());
        const Shown expected = shown().listing("Gangs");
        install("Gangs");
        QCOMPARE(boxes, shownBoxes);
        // Quillfen itself, which starts from the saved folder; this window closes for it.
        const bool yes = answered == QMessageBox::Yes;
        QCOMPARE(started,
                 yes ? QStringList{QCoreApplication::applicationFilePath()} : QStringList());
        QCOMPARE(window->isVisible(), !yes || start != platform::Start::Started);
        QCOMPARE(shown(), expected);
        expectOnDisk({file(denied + "/pedgrp.dat", "the game's own groups\r\n")});
    }
#endif

    // Once, before everything else.
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
        home = dir->path(), program = home + "/quillfen", data = home + "/gta3";
        settingFile = program + "/configs/path/config.cfg";
        // A first run looks for the game here, and nowhere else on the machine.
        qputenv("HOME", QFile::encodeName(home));
#ifdef Q_OS_WIN
        qputenv("ProgramFiles(x86)", QFile::encodeName(home + "/pf86"));
        qputenv("ProgramFiles", QFile::encodeName(home + "/pf"));
        qputenv("LOCALAPPDATA", QFile::encodeName(home + "/local"));
        usual = "c:\\program files (x86)\\rockstar games\\gtaiii\\data";
        steam = home + "/pf86/Steam", programFiles = home + "/pf";
#else
        usual = home + "/.wine/drive_c/Program Files (x86)/Rockstar Games/GTAIII/data";
        steam = home + "/.local/share/Steam", programFiles = home + "/.wine/drive_c/Program Files";
#endif
        // Message boxes are noted and closed as they open.
        auto *closer = new QTimer(this);
        connect(closer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxes << Box{box->text(), box->windowTitle(), box->icon(), box->standardButtons(),
                             box->standardButton(box->defaultButton())};
                if (QAbstractButton *button = box->button(answer))
                    button->click();
                else
                    box->close();
            }
        });
        closer->start(5);
        // A window that starts the program again closes, which must not end the suite.
        QApplication::setQuitOnLastWindowClosed(false);
    }
};

QTEST_MAIN(tst_window)
#include "tst_window.moc"
