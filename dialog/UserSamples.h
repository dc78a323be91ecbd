#pragma once

#include <QString>

// The sample maps for a first start with nothing stored: the user's own copy
// in $XDG_DATA_HOME/drovana/samples, made once from the installed samples.
namespace drovana {

struct SampleFolders {
    QString maps;  // the maps, with its trailing separator
    QString peg;   // an empty PeG folder beside them, at first
};

// The user's copy, made now if there is none yet, from the samples installed
// beside `programFolder` (../share/drovana/samples) or in a data folder of
// the system ($XDG_DATA_DIRS). Empty folders when no samples are installed
// or they could not be copied.
SampleFolders UserSampleFolders(const QString& programFolder);

}  // namespace drovana
