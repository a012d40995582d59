#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace StudentPhoto {

// The photo file of a student: the folder (with or without a trailing separator,
// written with either slash), the code and ".jpg" in any letter case (the
// lower-case name when there is none). Empty when the code could name a file
// outside the folder.
QString path(const QString& folder, const QString& stdId);

// The picture shown when a student has no photo that can be read, fitted into box.
QImage builtIn(const QSize& box);

// The student's photo fitted into box (aspect kept); the built-in picture when
// there is no file or it cannot be read.
QImage load(const QString& folder, const QString& stdId, const QSize& box);

} // namespace StudentPhoto
