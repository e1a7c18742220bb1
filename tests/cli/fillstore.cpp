// Leaves earlier sessions in the results store at its default place, as the
// window would: rows of each table, then the table cleared. Each row's cells
// are given on the command line as <table>:<cell>|<cell>|…, with table dc,
// length or stored; a table named without cells closes its session.
// object:<name>|<serial>|<location> names the object the rows after it are measured on.
// With --hold it then keeps the store open, as a running window does, until
// its standard input closes.

#include "store/resultstore.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("resistance-tester"));
    QCoreApplication::setApplicationName(QStringLiteral("resistance-tester"));
    store::ResultStore results(store::ResultStore::defaultPath());
    const QStringList tables{QStringLiteral("dc"), QStringLiteral("length"), QStringLiteral("stored")};
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool hold = arguments.removeAll(QStringLiteral("--hold")) > 0;
    qint64 object = 0;
    for (const QString& argument : arguments) {
        const int colon = argument.indexOf(QLatin1Char(':'));
        const auto kind = static_cast<store::TableKind>(tables.indexOf(argument.left(colon)));
        const QStringList texts = argument.mid(colon + 1).split(QLatin1Char('|'));
        if (colon < 0)
            results.clearTable(static_cast<store::TableKind>(tables.indexOf(argument)));
        else if (argument.left(colon) == QLatin1String("object"))
            object = results.objectId({0, texts.value(0), texts.value(1), texts.value(2)});
        else
            results.appendRow(kind, texts, QByteArray(), std::nullopt, object);
    }
    if (!results.isKeeping())
        return 1;
    if (hold) {
        std::puts("holding");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
    }
    return 0;
}
