// Which pedgrp.dat the game reads for a data folder, with the loaders that players' guides set up:
// an install that writes any other file reports a success the game never sees.

#include "game/game.h"
#include "platform/platform.h"

#include <QtTest>

namespace {

bool make(const QString &path)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly);
}

// A folder `depth` levels below modloader, in the mod "deep".
QString deepIn(int depth)
{
    QString folder = "modloader/deep";
    for (int level = 2; level < depth; ++level)
        folder += "/" + QString::number(level);
    return folder;
}

} // namespace

class tst_game : public QObject
{
    Q_OBJECT

private slots:
    void init() { platform::standIns() = {}; }

    void theGameReadsOneFile_data()
    {
        QTest::addColumn<QStringList>("made"); // in the game's folder, beside data/pedgrp.dat
        QTest::addColumn<QString>("read");     // from the game's folder on
        QTest::addColumn<bool>("ofAMod");
        const QString own = "data/pedgrp.dat", mod = "modloader/Cool Peds/data/pedgrp.dat";
        const auto row = [](const char *name, const QStringList &made, const QString &read,
                            bool ofAMod = false) { QTest::newRow(name) << made << read << ofAMod; };
        row("the data folder's own", {}, own);
        row("the update folder's copy", {"update/data/pedgrp.dat"}, "update/data/pedgrp.dat");
        row("a mod's copy", {"modloader.asi", mod}, mod, true);
        row("Mod Loader in scripts", {"scripts/modloader.asi", mod}, mod, true);
        row("Mod Loader in Plugins, in capitals", {"Plugins/ModLoader.asi", mod}, mod, true);
        row("a mod's before the update folder's", {"modloader.asi", mod, "update/data/pedgrp.dat"},
            mod, true);
        row("the first of several mods", {"modloader.asi", "modloader/b/pedgrp.dat", mod}, mod,
            true);
        // What Mod Loader never reads changes nothing.
        row("a mod without modloader.asi", {mod}, own);
        row("a copy lying in modloader", {"modloader.asi", "modloader/pedgrp.dat"}, own);
        row("a mod whose name starts with a dot", {"modloader.asi", "modloader/.off/pedgrp.dat"},
            own);
        row("a copy 16 levels below modloader", {"modloader.asi", deepIn(16) + "/pedgrp.dat"},
            deepIn(16) + "/pedgrp.dat", true);
        row("one 17 levels below", {"modloader.asi", deepIn(17) + "/pedgrp.dat"}, own);
        if (platform::namesHaveCase()) {
            // The game asks for PEDGRP.DAT, which Wine opens before any other spelling.
            row("PEDGRP.DAT before pedgrp.dat", {"data/PEDGRP.DAT"}, "data/PEDGRP.DAT");
            row("in the update folder too", {"update/data/Pedgrp.dat", "update/data/PEDGRP.DAT"},
                "update/data/PEDGRP.DAT");
        }
    }

    void theGameReadsOneFile()
    {
        QFETCH(QStringList, made);
        QFETCH(QString, read);
        QFETCH(bool, ofAMod);
        QTemporaryDir game;
        for (const QString &file : made + QStringList{"data/pedgrp.dat"})
            QVERIFY(make(game.filePath(file)));
        const game::GameFile file = game::fileRead(game.filePath("data") + "/");
        QCOMPARE(QDir(game.path()).relativeFilePath(file.path), read);
        QCOMPARE(file.ofAMod, ofAMod);
    }

#ifdef Q_OS_UNIX
    void aModFolderThroughALinkIsNotWalked()
    {
        QTemporaryDir game, elsewhere;
        QVERIFY(make(game.filePath("modloader.asi")) && make(game.filePath("data/pedgrp.dat")));
        QVERIFY(make(elsewhere.filePath("mod/pedgrp.dat")) &&
                make(game.filePath("modloader/real/readme.txt")));
        QVERIFY(QFile::link(elsewhere.filePath("mod"), game.filePath("modloader/linked")));
        QVERIFY(QFile::link(elsewhere.filePath("mod"), game.filePath("modloader/real/linked")));
        QCOMPARE(game::fileRead(game.filePath("data")).path, game.filePath("data/pedgrp.dat"));
    }
#endif

#ifdef Q_OS_WIN
    // Where Windows redirected an old program's write, the game reads the copy, unless it is set
    // to run as administrator, in the user's settings or the machine's.
    void theVirtualStoreCopyUnlessRunAsAdministrator_data()
    {
        QTest::addColumn<QString>("flags"); // the compatibility flags of gta3.exe
        QTest::addColumn<int>("root");
        QTest::addColumn<bool>("copy");
        using platform::RegistryValue;
        QTest::newRow("no flags") << "" << int(RegistryValue::CurrentUser) << true;
        QTest::newRow("other flags")
            << "~ WINXPSP3 HIGHDPIAWARE" << int(RegistryValue::CurrentUser) << true;
        QTest::newRow("the user's") << "~ RUNASADMIN" << int(RegistryValue::CurrentUser) << false;
        QTest::newRow("the machine's")
            << "~ WINXPSP3 RUNASADMIN" << int(RegistryValue::LocalMachine) << false;
    }

    void theVirtualStoreCopyUnlessRunAsAdministrator()
    {
        QFETCH(QString, flags);
        QFETCH(int, root);
        QFETCH(bool, copy);
        QTemporaryDir scratch;
        const QString game =
            QDir::toNativeSeparators(scratch.filePath("pf86/Rockstar Games/GTAIII"));
        const QString store = scratch.filePath("local/VirtualStore") +
                              QDir::fromNativeSeparators(game).mid(2) + "/data/pedgrp.dat";
        QVERIFY(make(game + "/gta3.exe") && make(game + "/data/pedgrp.dat") && make(store));
        qputenv("ProgramFiles(x86)", QFile::encodeName(scratch.filePath("pf86")));
        qputenv("LOCALAPPDATA", QFile::encodeName(scratch.filePath("local")));
        platform::standIns().registry = [&](const platform::RegistryValue &value) {
            const bool asked =
                value.root == root &&
                value.key ==
                    "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers" &&
                value.name.compare(game + "\\gta3.exe", Qt::CaseInsensitive) == 0;
            return asked ? flags : QString();
        };
        const QString read = game::fileRead(game + "\\data\\").path;
        QCOMPARE(QDir::fromNativeSeparators(read),
                 copy ? store : QDir::fromNativeSeparators(game) + "/data/pedgrp.dat");
    }
#endif
};

QTEST_MAIN(tst_game)
#include "tst_game.moc"
