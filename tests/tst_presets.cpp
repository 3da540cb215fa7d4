// The shipped presets must load in the game: it reads pedgrp.dat a line at a time, takes
// every line of exactly eight model names as one group, and needs exactly 31 groups.

#include "pedgroups/catalogue.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

const QString presetFolder = QStringLiteral(QUILLFEN_SOURCE_DIR "/configs");

QSet<QString> gameModels()
{
    QSet<QString> models{
        "COP",         "SWAT",        "FBI",        "ARMY",        "MEDIC",      "FIREMAN",
        "MALE01",      "TAXI_D",      "PIMP",       "CRIMINAL01",  "CRIMINAL02", "MALE02",
        "MALE03",      "FATMALE01",   "FATMALE02",  "FEMALE01",    "FEMALE02",   "FEMALE03",
        "FATFEMALE01", "FATFEMALE02", "PROSTITUTE", "PROSTITUTE2", "P_MAN1",     "P_MAN2",
        "P_WOM1",      "P_WOM2",      "CT_MAN1",    "CT_MAN2",     "CT_WOM1",    "CT_WOM2",
        "LI_MAN1",     "LI_MAN2",     "LI_WOM1",    "LI_WOM2",     "DOCKER1",    "DOCKER2",
        "SCUM_MAN",    "SCUM_WOM",    "WORKER1",    "WORKER2",     "B_MAN1",     "B_MAN2",
        "B_MAN3",      "B_WOM1",      "B_WOM2",     "B_WOM3",      "MOD_MAN",    "MOD_WOM",
        "ST_MAN",      "ST_WOM",      "FAN_MAN1",   "FAN_MAN2",    "FAN_WOM",    "HOS_MAN",
        "HOS_WOM",     "CONST1",      "CONST2",     "SHOPPER1",    "SHOPPER2",   "SHOPPER3",
        "STUD_MAN",    "STUD_WOM",    "CAS_MAN",    "CAS_WOM"};
    for (int gang = 1; gang <= 14; ++gang)
        models << QStringLiteral("GANG%1").arg(gang, 2, 10, QLatin1Char('0'));
    return models;
}

QString fileName(const catalogue::PedGroup &group)
{
    return QString::fromLatin1(group.presetSuffix).section(QLatin1Char('\\'), -1);
}

} // namespace

class tst_presets : public QObject
{
    Q_OBJECT

private slots:
    void exactlyTheCataloguesPresetsAreShipped()
    {
        QStringList expected;
        for (const catalogue::PedGroup &group : catalogue::pedGroups)
            expected << fileName(group);
        expected.sort();
        QCOMPARE(QDir(presetFolder).entryList(QDir::Files, QDir::Name), expected);
    }

    void everyPresetLoadsInTheGame_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("file");
        for (const catalogue::PedGroup &group : catalogue::pedGroups)
            QTest::newRow(group.label) << QString::fromLatin1(group.label) << fileName(group);
    }

    void everyPresetLoadsInTheGame()
    {
        QFETCH(QString, label);
        QFETCH(QString, file);
        QFile preset(presetFolder + "/" + file);
        QVERIFY(preset.open(QIODevice::ReadOnly));
        const QByteArray bytes = preset.readAll();

        QVERIFY2(bytes.startsWith("# Quillfen preset: " + label.toLatin1() + "\r\n"),
                 "starts with a comment naming the preset");
        QVERIFY2(bytes.endsWith("\r\n"), "the last line is ended");
        QVERIFY2(!bytes.contains("\n\n") && bytes.count('\n') == bytes.count("\r\n"),
                 "every line ends in CR LF");
        for (const char byte : bytes)
            QVERIFY2(byte == '\r' || byte == '\n' || (byte >= 0x20 && byte < 0x7f), "plain text");

        const QSet<QString> models = gameModels();
        static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
        int groups = 0;
        for (const QByteArray &line : bytes.split('\n')) {
            const QString text = QString::fromLatin1(line).section(QLatin1Char('#'), 0, 0);
            const QStringList names = text.split(separators, Qt::SkipEmptyParts);
            if (names.isEmpty())
                continue;
            QVERIFY2(names.size() == 8, qPrintable("not a group of eight: " + line));
            for (const QString &name : names)
                QVERIFY2(models.contains(name), qPrintable("no such model: " + name));
            ++groups;
        }
        QCOMPARE(groups, 31);
    }
};

QTEST_APPLESS_MAIN(tst_presets)
#include "tst_presets.moc"
