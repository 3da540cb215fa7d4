#include "folder/settingfile.h"
#include "support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using settingfile::StoredFolder;

class tst_settingfile : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString program;

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        program = dir->path();
        QVERIFY(QDir().mkpath(program + "/configs/path"));
    }

    void linesAreJoinedWithoutTheirEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("one line") << QByteArray("c:\\games\\gta3\\data\\\r\n")
                                  << "c:\\games\\gta3\\data\\";
        QTest::newRow("two lines joined")
            << QByteArray("c:\\games\r\n\\gta3\\data\\\r\n") << "c:\\games\\gta3\\data\\";
        QTest::newRow("lone LF") << QByteArray("/a\n/b\n") << "/a/b";
        QTest::newRow("lone CR") << QByteArray("/a\r/b\r") << "/a/b";
        QTest::newRow("mixed ends") << QByteArray("/a\r\n/b\n/c\r/d") << "/a/b/c/d";
        QTest::newRow("last line without end") << QByteArray("/games/data/") << "/games/data/";
        QTest::newRow("zero bytes is an empty folder") << QByteArray("") << "";
        QTest::newRow("only line ends") << QByteArray("\r\n\n\r") << "";
        QTest::newRow("blanks are kept") << QByteArray(" /a b/ \r\n") << " /a b/ ";
    }

    void linesAreJoinedWithoutTheirEnds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        support::writeFile(support::settingFile(program), bytes);
        const StoredFolder stored = settingfile::read(program);
        QCOMPARE(stored.state, StoredFolder::Complete);
        QCOMPARE(stored.text, text);
    }

    void writeStoresOneLineWithCrLfThatReadsBack()
    {
        const QString folder = QString::fromUtf8("/home/ann/.wine/drive_c/Spiele/GTA Ü/data/");
        QVERIFY(settingfile::write(program, folder));
        QCOMPARE(support::readFile(support::settingFile(program)), folder.toLocal8Bit() + "\r\n");
        QCOMPARE(settingfile::read(program).text, folder);

        QVERIFY(settingfile::write(program, "/shorter/"));
        QCOMPARE(support::readFile(support::settingFile(program)), QByteArray("/shorter/\r\n"));
    }

    void failedWriteLeavesTheEarlierFileWhole()
    {
        const QByteArray earlier("/games/earlier/data/\r\n");
        support::writeFile(support::settingFile(program), earlier);
        const QString longFolder = "/" + QString(4096, 'x') + "/";

        const int code = support::inChildWithFileSizeLimit(
            earlier.size() + 10, true, [&] { return settingfile::write(program, longFolder); });
        QCOMPARE(code, 1);
        QCOMPARE(support::readFile(support::settingFile(program)), earlier);
        QCOMPARE(support::entries(program + "/configs/path"), QStringList{"config.cfg"});
    }
};

QTEST_GUILESS_MAIN(tst_settingfile)
#include "tst_settingfile.moc"
