#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The built-in table of ped group presets shown in the list and installed into the game.
namespace catalogue {

struct PedGroup
{
    const char *label;
    const char *presetSuffix; // relative to the program folder, written the Windows way
};

// In list order. The first entry is the default for any text that names no group.
inline constexpr std::array<PedGroup, 15> pedGroups{{
    {"Default Peds", "\\configs\\original.dat"},
    {"Chinese People", "\\configs\\chinese.dat"},
    {"Pimps", "\\configs\\pimps.dat"},
    {"Prostitutes", "\\configs\\prostitutes.dat"},
    {"Dock Workers", "\\configs\\dockers.dat"},
    {"Criminals", "\\configs\\criminals.dat"},
    {"Medics", "\\configs\\docs and meds.dat"},
    {"Fat People", "\\configs\\fat people.dat"},
    {"Gangs", "\\configs\\gang war.dat"},
    {"Italians", "\\configs\\italians.dat"},
    {"Scum", "\\configs\\scum.dat"},
    {"Shoppers", "\\configs\\shoppers.dat"},
    {"Sports Fans", "\\configs\\sports fans.dat"},
    {"Swat Teams", "\\configs\\swat teams.dat"},
    {"Workers", "\\configs\\workers.dat"},
}};

QStringList labels();

// The entry whose label equals `text` exactly (case and blanks count), or none.
const PedGroup *find(const QString &text);

// The entry find() gives for `text`, else the default.
const PedGroup &lookup(const QString &text);

// The preset file of `group`: the program folder followed directly by its suffix.
QString presetPath(const QString &programFolder, const PedGroup &group);

} // namespace catalogue
