// Arbitrary bytes as the setting file, and as the text of the ped group list.

#include "folder/settingfile.h"
#include "pedgroups/catalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir program;
    static const bool laidOut = QDir().mkpath(program.filePath("configs/path"));
    check(laidOut);

    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QFile file(settingfile::path(program.path()));
    check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();

    // Every byte but the line ends, whatever the lines look like; the inputs stay far
    // shorter than a file the reader gives up on.
    const settingfile::StoredFolder stored = settingfile::read(program.path());
    check(stored.state == settingfile::StoredFolder::Complete);
    check(stored.text ==
          QString::fromLocal8Bit(QByteArray(bytes).replace('\r', "").replace('\n', "")));

    const QString text = QString::fromLocal8Bit(bytes);
    const catalogue::PedGroup &group = catalogue::lookup(text);
    check(catalogue::labels().contains(text) ? text == QLatin1String(group.label)
                                             : &group == &catalogue::pedGroups.front());
    return 0;
}
