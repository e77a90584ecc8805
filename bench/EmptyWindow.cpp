// The baseline for start-up and memory: a Qt Widgets program that shows one empty window of
// the size Nokuri starts with, and nothing else. With --japanese-text the window shows one line
// of Japanese instead, which tells how much of a start is the font stack alone.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(600, 440);
    if (argc > 1 && QByteArrayView(argv[1]) == "--japanese-text")
        (new QLabel(QStringLiteral("買い物：牛乳とパン"), &window))->move(10, 10);
    window.show();
    return app.exec();
}
