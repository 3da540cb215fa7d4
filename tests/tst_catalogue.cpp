#include "pedgroups/catalogue.h"

#include <QTest>

class tst_catalogue : public QObject
{
    Q_OBJECT

private slots:
    void labelsAreTheFifteenGroupsInListOrder()
    {
        const QStringList expected{"Default Peds", "Chinese People", "Pimps",  "Prostitutes",
                                   "Dock Workers", "Criminals",      "Medics", "Fat People",
                                   "Gangs",        "Italians",       "Scum",   "Shoppers",
                                   "Sports Fans",  "Swat Teams",     "Workers"};
        QCOMPARE(catalogue::labels(), expected);
    }

    void lookupMatchesExactlyElseDefault_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("file named unlike its label") << "Medics"
                                                     << "Medics"
                                                     << "\\configs\\docs and meds.dat";
        QTest::newRow("gangs go to gang war") << "Gangs"
                                              << "Gangs"
                                              << "\\configs\\gang war.dat";
        QTest::newRow("last entry") << "Workers"
                                    << "Workers"
                                    << "\\configs\\workers.dat";
        QTest::newRow("default by name") << "Default Peds"
                                         << "Default Peds"
                                         << "\\configs\\original.dat";
        QTest::newRow("wrong case is unknown") << "gangs"
                                               << "Default Peds"
                                               << "\\configs\\original.dat";
        QTest::newRow("trailing blank is unknown") << "Gangs "
                                                   << "Default Peds"
                                                   << "\\configs\\original.dat";
        QTest::newRow("empty text is unknown") << ""
                                               << "Default Peds"
                                               << "\\configs\\original.dat";
    }

    void lookupMatchesExactlyElseDefault()
    {
        QFETCH(QString, text);
        QFETCH(QString, label);
        QFETCH(QString, suffix);
        const catalogue::PedGroup &group = catalogue::lookup(text);
        QCOMPARE(QString::fromLatin1(group.label), label);
        QCOMPARE(QString::fromLatin1(group.presetSuffix), suffix);
    }

    void presetPathJoinsProgramFolderAndSuffixAsTheyStand_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QString>("expected");
#ifdef Q_OS_WIN
        QTest::newRow("folder") << "c:\\games\\quillfen"
                                << "c:\\games\\quillfen\\configs\\workers.dat";
        QTest::newRow("drive root") << "c:\\"
                                    << "c:\\\\configs\\workers.dat";
#else
        QTest::newRow("folder") << "/opt/quillfen"
                                << "/opt/quillfen/configs/workers.dat";
        QTest::newRow("root") << "/"
                              << "//configs/workers.dat";
#endif
    }

    void presetPathJoinsProgramFolderAndSuffixAsTheyStand()
    {
        QFETCH(QString, programFolder);
        QFETCH(QString, expected);
        QCOMPARE(catalogue::presetPath(programFolder, catalogue::lookup("Workers")), expected);
    }
};

QTEST_APPLESS_MAIN(tst_catalogue)
#include "tst_catalogue.moc"
