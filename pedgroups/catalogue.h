#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The built-in table of ped group presets shown in the list and installed into the game.
namespace catalogue {

struct PedGroup
{
    const char *label;
    const char *preset; // the file in the configs folder
};

// In list order. The first entry is the default for any text that names no group.
inline constexpr std::array<PedGroup, 15> pedGroups{{
    {"Default Peds", "original.dat"},
    {"Chinese People", "chinese.dat"},
    {"Pimps", "pimps.dat"},
    {"Prostitutes", "prostitutes.dat"},
    {"Dock Workers", "dockers.dat"},
    {"Criminals", "criminals.dat"},
    {"Medics", "docs and meds.dat"},
    {"Fat People", "fat people.dat"},
    {"Gangs", "gang war.dat"},
    {"Italians", "italians.dat"},
    {"Scum", "scum.dat"},
    {"Shoppers", "shoppers.dat"},
    {"Sports Fans", "sports fans.dat"},
    {"Swat Teams", "swat teams.dat"},
    {"Workers", "workers.dat"},
}};

// What the list shows at start, and what any text that names no group installs.
inline constexpr const PedGroup &defaultGroup = pedGroups[0];

QStringList labels();

// The entry whose label equals `text` exactly (case and blanks count), or none.
const PedGroup *find(const QString &text);

// The entry find() gives for `text`, else the default.
const PedGroup &lookup(const QString &text);

// The preset file of `group` in the configs folder of `programFolder`.
QString presetPath(const QString &programFolder, const PedGroup &group);

} // namespace catalogue
