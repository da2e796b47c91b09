// Opens the window and waits for the engine builder. The command line is not read.
#include <QApplication>

#include "mainwindow.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ui::substituteLabelFace();
    calc::PivotGenerator pivots;  // one generator for every sort of the run
    ui::MainWindow window(pivots);
    window.show();
    return QApplication::exec();
}
