#pragma once
// Where ORV.ini and the file dialogs' start names live. A program folder that can be written (a build, a
// copied folder) holds both. An installed program's folder cannot be written: settings then go to
// $XDG_CONFIG_HOME/orvane and the start names to the user's home folder.

#include <QString>

namespace orvane {

struct ProgramPlaces {
    QString settingsFolder;  // ORV.ini and the default home position file
    QString startFolder;     // dated start names of the file dialogs
};

// environment: the value of XDG_CONFIG_HOME (empty or relative means ~/.config); home: the user's home folder.
ProgramPlaces ResolveProgramPlaces(const QString &programFolder, const QString &xdgConfigHome, const QString &home);

// True when a file can be created in the folder.
bool FolderWritable(const QString &folder);

}  // namespace orvane
