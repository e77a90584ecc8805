// make bench: times Nokuri against the floors of the machine it runs on and prints one table.
#include "Bench.h"
#include "WindowWorker.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>
#include <cstdio>
#include <exception>
#include <stdexcept>

int main(int argc, char *argv[])
{
    try {
        if (argc >= 4 && QByteArrayView(argv[1]) == "--worker") {
            QApplication app(argc, argv);
            const bool switches = argc >= 5 && QByteArrayView(argv[4]) == "--switches";
            QTextStream out(stdout);
            WindowWorker(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), switches)
                .run(out);
            return 0;
        }
        QCoreApplication app(argc, argv);
        // For profiling by hand: the data sets alone, in DIR/1, DIR/2, ...
        if (argc >= 3 && QByteArrayView(argv[1]) == "--write-sets") {
            const QDir root(QString::fromLocal8Bit(argv[2]));
            const QList<NoteSet::Shape> shapes = Bench::shapes();
            for (qsizetype i = 0; i < shapes.size(); ++i) {
                const QString dir = root.filePath(QString::number(i + 1));
                if (!QDir().mkpath(dir))
                    throw std::runtime_error("cannot create the folder for the data sets");
                NoteSet::generate(shapes[i], dir);
            }
            return 0;
        }
        // --start-up: the start-up and memory rows alone, for work on the start.
        const bool startOnly = argc >= 2 && QByteArrayView(argv[1]) == "--start-up";
        const int missed
            = Bench(QStringLiteral(NOKURI_PROGRAM), QStringLiteral(NOKURI_EMPTY_WINDOW), startOnly)
                  .run();
        std::fprintf(stderr, "bench: %d target(s) missed\n", missed);
        return 0;
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "bench: %s\n", failure.what());
        return 1;
    }
}
