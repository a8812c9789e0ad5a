#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quillet v. 1.2");
    QLabel placeholder("Quillet v1.2: the editor window is being built.");
    placeholder.setWindowTitle("Quillet v1.2");
    placeholder.resize(678, 499);
    placeholder.setAlignment(Qt::AlignCenter);
    placeholder.show();
    return QApplication::exec();
}
