// The start-up baseline: the least a Qt Widgets program does to show a window of
// the game window's size (700 x 514 pixels) and paint it once. The first-frame
// probe is compiled in beside it.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(700, 514);
    window.show();
    return QApplication::exec();
}
