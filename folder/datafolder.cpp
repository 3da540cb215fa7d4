#include "datafolder.h"

#include "platform/platform.h"

#include <QFile>
#include <QRegularExpression>

namespace datafolder {

namespace {

bool holdsGameFile(const QString &folder)
{
    if (!platform::isWhole(folder))
        return false;
    QFile gameFile(platform::gameFile(folder));
    return platform::openRegularFile(gameFile);
}

QString cleaned(const QString &typed)
{
    static const QRegularExpression around(QStringLiteral("^[ \\t\\r\\n]+|[ \\t\\r\\n]+$"));
    QString folder = typed;
    folder.remove(around);
    // Explorer's "Copy as path" quotes the path; no Windows file name holds a quote.
    if (folder.size() >= 2 && folder.startsWith(QLatin1Char('"')) &&
        folder.endsWith(QLatin1Char('"')))
        folder = folder.mid(1, folder.size() - 2);
    return platform::withHome(folder);
}

} // namespace

std::optional<QString> check(const QString &typed)
{
    // As typed first: on Linux a folder's name may end in a blank.
    const QString asTyped = typed + platform::separator();
    if (holdsGameFile(asTyped))
        return asTyped;
    // Looked for again only when cleaning changed something.
    const QString clean = cleaned(typed);
    if (clean != typed && holdsGameFile(clean + platform::separator()))
        return clean + platform::separator();
    return std::nullopt;
}

} // namespace datafolder
