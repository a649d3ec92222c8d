// The start-up baseline: the least a Qt Widgets program does to show a window of
// the game window's size (700 x 514 pixels) and paint it once.
#include "FirstFrameProbe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installFirstFrameProbe();
    QWidget window;
    window.resize(700, 514);
    window.show();
    return QApplication::exec();
}
