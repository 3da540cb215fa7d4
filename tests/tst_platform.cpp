#include "app/platform.h"
#include "support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

class tst_platform : public QObject
{
    Q_OBJECT

private slots:
#ifndef Q_OS_WIN
    void gameFileIsFoundWhateverItsCase_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("found");
        QTest::newRow("exact name") << QStringList{"pedgrp.dat"} << "pedgrp.dat";
        QTest::newRow("upper case") << QStringList{"PEDGRP.DAT"} << "PEDGRP.DAT";
        QTest::newRow("mixed case") << QStringList{"PedGrp.Dat"} << "PedGrp.Dat";
        QTest::newRow("exact name wins") << QStringList{"PEDGRP.DAT", "pedgrp.dat"} << "pedgrp.dat";
        QTest::newRow("none: the name to create") << QStringList{"object.dat"} << "pedgrp.dat";
        QTest::newRow("similar names are not it")
            << QStringList{"pedgrp.dat.bak", "xpedgrp.dat"} << "pedgrp.dat";
    }

    void gameFileIsFoundWhateverItsCase()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        QTemporaryDir dir;
        for (const QString &name : files)
            support::writeFile(dir.filePath(name), "x");
        QCOMPARE(platform::gameFile(dir.path() + "/"), dir.path() + "/" + found);
    }

    void gameFileKeepsTheFolderTextAsItStands()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("Data")));
        support::writeFile(dir.filePath("Data/PEDGRP.DAT"), "x");
        // A doubled separator is joined as typed, and only the file name ignores case.
        QCOMPARE(platform::gameFile(dir.path() + "/Data//"), dir.path() + "/Data//PEDGRP.DAT");
        QCOMPARE(platform::gameFile(dir.path() + "/data/"), dir.path() + "/data/pedgrp.dat");
        QCOMPARE(platform::gameFile("/"), "/pedgrp.dat");
    }

    void onlyRegularFilesOpen()
    {
        QTemporaryDir dir;
        support::writeFile(dir.filePath("file"), "bytes");
        QVERIFY(mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600) == 0);
        QVERIFY(QFile::link(dir.filePath("file"), dir.filePath("link")));

        const auto opens = [](const QString &path) {
            QFile file(path);
            return platform::openRegularFile(file);
        };
        QVERIFY(opens(dir.filePath("file")));
        QVERIFY(opens(dir.filePath("link")));
        QVERIFY(!opens(dir.filePath("fifo"))); // would block without a writer
        QVERIFY(!opens(dir.path()));
        QVERIFY(!opens("/dev/null"));
        QVERIFY(!opens(dir.filePath("missing")));
        QVERIFY(!opens(QString()));
    }
#endif
};

QTEST_GUILESS_MAIN(tst_platform)
#include "tst_platform.moc"
