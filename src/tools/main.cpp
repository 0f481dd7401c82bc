// qmtool: command-line work on the program's files, for scripts and for the build.

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: qmtool COMMAND [ARGS]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    std::fprintf(stderr, "qmtool: unknown command '%s'\n", qPrintable(args.first()));
    return usage();
}
