#include "results/StudentAge.h"
#include "results/StudentPhoto.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class TestEnquiry : public QObject {
    Q_OBJECT

private slots:
    void ageInFullYears() {
        struct Case {
            const char* born;
            const char* on;
            int age; // -1: no age
        };
        const Case cases[] = {
            {"20081231", "20250101", 16}, {"20081231", "20251230", 16},
            {"20081231", "20251231", 17}, {"20080229", "20260228", 17},
            {"20080229", "20260301", 18}, {"20080229", "20240228", 15},
            {"20080229", "20240229", 16}, {"20261206", "20261206", 0},
            {"20261207", "20261206", -1}, {"", "20261206", -1},
            {"2008123", "20261206", -1},  {"20081345", "20261206", -1},
            {"20080230", "20261206", -1}, {"2008-1-1", "20261206", -1},
            {"๒๕๕๑๐๑๐๑", "20261206", -1}, {"20081231", "", -1},
        };
        for (const Case& c : cases) {
            const std::optional<int> age =
                StudentAge::years(QString::fromUtf8(c.born), QString::fromUtf8(c.on));
            const QByteArray where = QByteArray(c.born) + " on " + c.on;
            QVERIFY2(age.value_or(-1) == c.age, where.constData());
        }
    }

    // The folder as the settings may hold it finds the one file; a file that is not
    // a picture, or no file, gives the built-in picture.
    void photoFileFromTheFolderInAnyForm() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("images"));
        QDir().mkpath(folder);
        QImage photo(400, 500, QImage::Format_RGB32);
        photo.fill(Qt::darkGreen);
        QVERIFY(photo.save(folder + QStringLiteral("/6900001.jpg")));
        QFile broken(folder + QStringLiteral("/6900002.jpg"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture");
        broken.close();

        const QString expected = folder + QStringLiteral("/6900001.jpg");
        QString backslashed = folder;
        backslashed.replace(u'/', u'\\');
        for (const QString& form :
             QStringList{folder, folder + u'/', backslashed, backslashed + u'\\'})
            QCOMPARE(StudentPhoto::path(form, QStringLiteral("6900001")), expected);
        QCOMPARE(StudentPhoto::path(folder, QStringLiteral("../6900001")), QString());

        const QSize box(120, 150);
        const QImage builtIn = StudentPhoto::builtIn(box);
        QVERIFY(!builtIn.isNull());
        const QImage found = StudentPhoto::load(folder + u'/', QStringLiteral("6900001"), box);
        QCOMPARE(found.size(), box);
        QVERIFY(found != builtIn);
        QCOMPARE(StudentPhoto::load(folder, QStringLiteral("6900002"), box), builtIn);
        QCOMPARE(StudentPhoto::load(folder, QStringLiteral("6900003"), box), builtIn);
    }
};

QTEST_MAIN(TestEnquiry)
#include "tst_enquiry.moc"
