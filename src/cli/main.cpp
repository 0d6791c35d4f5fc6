#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::puts("usage: tessaly-cli COMMAND [options]");
    return 2;
}
