// The yardstick for lorvane01's start-up: the least a Qt Widgets program does to open a window of
// the same size with one line of text in it (so the fonts are loaded before it shows, as
// lorvane01's are for its captions), measured in the same run on the same machine.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    const QApplication app(argc, argv);
    QLabel window(QStringLiteral("Generative Art by Varlenko"));
    window.setWindowTitle(QStringLiteral("Form1"));
    window.adjustSize();
    window.resize(664, 617);
    window.show();
    return QApplication::exec();
}
