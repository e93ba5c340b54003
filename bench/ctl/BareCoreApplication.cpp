// The floor zr6040ctl's start-up is held against: a bare Qt Core program that makes its
// application object and prints a version line, as `zr6040ctl --version` answers.
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::puts("bare 1.0");
    return 0;
}
