#include "catalogue.h"

#include "platform/platform.h"

namespace catalogue {

QStringList labels()
{
    QStringList result;
    for (const PedGroup &group : pedGroups)
        result << QString::fromLatin1(group.label);
    return result;
}

const PedGroup *find(const QString &text)
{
    for (const PedGroup &group : pedGroups) {
        if (text == QLatin1String(group.label))
            return &group;
    }
    return nullptr;
}

const PedGroup &lookup(const QString &text)
{
    const PedGroup *group = find(text);
    return group ? *group : defaultGroup;
}

QString presetPath(const QString &programFolder, const PedGroup &group)
{
    return platform::join(platform::configsFolder(programFolder), QLatin1String(group.preset));
}

} // namespace catalogue
