#pragma once
// The destination folder as the user types it: the path it means, made when missing, and the
// message of one that cannot take the Data files.

#include <QString>

namespace quarrow {

// Returns the destination as typed or pasted: blanks and line breaks around it dropped, "~"
// the home folder, a relative path taken from the DXF folder. Empty when nothing was typed.
QString ResolveDestination(const QString& typed, const QString& dxfFolder);

// Makes the folder and those above it when missing; returns the system's reason when it could
// not be made, else an empty text.
QString MakeDestination(const QString& folder);

// Returns why no file can be made in the folder, as the system says it; empty when one can.
QString WriteRefusalReason(const QString& folder);

// Returns the message of a destination that cannot take the Data files, with the reason.
QString DestinationRefusal(const QString& folder, const QString& reason);

}  // namespace quarrow
