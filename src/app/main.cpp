#include "core/Database.h"
#include "core/SampleData.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "report/viewer/SystemPrinter.h"
#include "shell/MDIForm1.h"
#include "shell/MenuItems.h"
#include "shell/StartUp.h"
#include "shell/UserStore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QTextStream>

namespace {

// Loads a SQL script into the database (a new school where there is none) and adds
// the demo user with every right.
int loadSample(const QString& script) {
    try {
        Connection::shared().open(NewSchool::Make);
        StartUp::openDatabase();
        SampleData::load(script);
        UserStore::createWithAllRights(QStringLiteral("admin"), QStringLiteral("ผู้ดูแลระบบ"),
                                       QStringLiteral("admin"));
    } catch (const DbError& error) {
        Connection::shared().close();
        QTextStream(stderr) << error.message() << Qt::endl;
        return 1;
    }
    Connection::shared().close();
    return 0;
}

struct Options {
    QString database;
    QString sample;
};

Options parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vadel"));
    parser.addHelpOption();
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("The database file."), QStringLiteral("FILE"));
    const QCommandLineOption sample(QStringLiteral("load-sample"),
                                    QStringLiteral("Loads a SQL script into the database "
                                                   "with the demo user, then exits."),
                                    QStringLiteral("FILE"));
    parser.addOption(database);
    parser.addOption(sample);
    parser.process(app);
    return Options{parser.value(database), parser.value(sample)};
}

bool wantsSample(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]).startsWith("--load-sample"))
            return true;
    return false;
}

void nameApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("Vadel"));
    QCoreApplication::setApplicationName(QStringLiteral("Vadel"));
}

} // namespace

int main(int argc, char* argv[]) {
    // Loading the demo school needs no display.
    if (wantsSample(argc, argv)) {
        QCoreApplication app(argc, argv);
        nameApplication();
        const Options options = parseOptions(app);
        if (!options.database.isEmpty())
            Seams::setDatabasePath(options.database);
        return loadSample(options.sample);
    }
    QApplication app(argc, argv);
    nameApplication();
    QApplication::setFont(QFont(QStringLiteral("Loma"), 10));
    const Options options = parseOptions(app);
    if (!options.database.isEmpty())
        Seams::setDatabasePath(options.database);

    registerTaskWindows();
    SystemPrinter::install();
    MDIForm1 main;
    switch (main.startUp()) {
    case MDIForm1::StartResult::NoDatabase:
        return 1;
    case MDIForm1::StartResult::LoginClosed:
        return 0;
    case MDIForm1::StartResult::Ready:
        break;
    }
    main.show();
    const int result = QApplication::exec();
    Connection::shared().close();
    return result;
}
