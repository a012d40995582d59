#include "results/StudentPhoto.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace StudentPhoto {

QString path(const QString& folder, const QString& stdId) {
    if (stdId.isEmpty() || stdId.contains(QLatin1Char('/')) || stdId.contains(QLatin1Char('\\')) ||
        stdId == QStringLiteral(".."))
        return {};
    QString dir = folder;
    dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // Cameras write the extension in capitals; any letter case of "jpg" is the photo.
    QString lowerCase;
    for (int letters = 0; letters < 8; ++letters) {
        QString extension = QStringLiteral(".jpg");
        for (int i = 0; i < 3; ++i)
            if (letters & (1 << i))
                extension[i + 1] = extension.at(i + 1).toUpper();
        const QString file = QDir::toNativeSeparators(QDir(dir).filePath(stdId + extension));
        if (letters == 0)
            lowerCase = file;
        if (QFileInfo(file).isFile())
            return file;
    }
    return lowerCase;
}

QImage builtIn(const QSize& box) {
    static const QImage picture(QStringLiteral(":/results/images/student.png"));
    return picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage load(const QString& folder, const QString& stdId, const QSize& box) {
    const QString file = path(folder, stdId);
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return builtIn(box);
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid())
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
    const QImage photo = reader.read();
    if (photo.isNull())
        return builtIn(box);
    // A photo turned by its orientation tag may still overflow the box.
    if (photo.width() > box.width() || photo.height() > box.height())
        return photo.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return photo;
}

} // namespace StudentPhoto
