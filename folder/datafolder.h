#pragma once

#include <QString>

#include <optional>

// The check of a data folder typed into the window.
namespace datafolder {

// The folder Save makes the active one for `typed`: the text followed by a separator, always,
// even when it ends in one already, provided that names one place wherever Quillfen is started
// and the game's pedgrp.dat can be opened there. Failing that, the same for the text cleaned of
// what a paste brings: blanks, tabs and line ends around it, then one pair of double quotes
// around it, then a file: address read as the local path it names, or on POSIX systems a leading
// "~" read as the home folder. Failing that too, the data folder that the cleaned text points at
// as the game's folder, gta3.exe or pedgrp.dat. Nothing when none holds.
std::optional<QString> check(const QString &typed);

// Whether `path` is a folder, gta3.exe or pedgrp.dat: what check() may take a data folder from.
bool pointsAtGame(const QString &path);

} // namespace datafolder
