// A computer whose fontconfig puts the AR PL fonts first for Chinese text, as a TeX
// installation does: a font directory of its own and a FONTCONFIG_FILE naming it, made
// before the application starts. What Qt chose before the program set up its fonts is
// kept for the tests (fonts_test.h).

#include "fonts_test.h"

#include "rtf/fonts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

namespace qm::test {

FontsBefore fontsBefore;

namespace {

// The fonts of the test computer: the AR PL font and those the package depends on.
const QStringList kFontFiles = {
    QStringLiteral("/usr/share/fonts/truetype/arphic/uming.ttc"),
    QStringLiteral("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"),
    QStringLiteral("/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc"),
    QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"),
    QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
};

bool writeFontConfig(const QString& dir)
{
    QDir().mkpath(dir + QStringLiteral("/fonts"));
    for (const QString& file : kFontFiles)
        if (!QFile::link(file, dir + QStringLiteral("/fonts/") + QFileInfo(file).fileName()))
            return false;
    QFile conf(dir + QStringLiteral("/fonts.conf"));
    if (!conf.open(QIODevice::WriteOnly))
        return false;
    const QString prefer =
        QStringLiteral("<prefer><family>AR PL UMing CN</family><family>DejaVu Sans</family></prefer>");
    QString text = QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                                  "<dir>%1/fonts</dir>\n<cachedir>%1/cache</cachedir>\n")
                       .arg(dir);
    for (const char* family : {"Sans Serif", "sans-serif", "serif", "SimSun", "宋体"})
        text += QStringLiteral("<alias binding=\"strong\"><family>%1</family>%2</alias>\n")
                    .arg(QString::fromUtf8(family), prefer);
    text += QStringLiteral("</fontconfig>\n");
    return conf.write(text.toUtf8()) > 0;
}

}  // namespace

}  // namespace qm::test

int main(int argc, char** argv)
{
    QTemporaryDir fontDir;
    for (const QString& file : qm::test::kFontFiles) {
        if (!QFileInfo::exists(file)) {
            std::fprintf(stderr, "missing %s: run scripts/install-deps.sh\n", qPrintable(file));
            return 1;
        }
    }
    if (!qm::test::writeFontConfig(fontDir.path()))
        return 1;
    qputenv("FONTCONFIG_FILE", (fontDir.path() + QStringLiteral("/fonts.conf")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qm::test::fontsBefore.interfaceFont = QApplication::font();
    qm::test::fontsBefore.captionFamily = qm::test::resolvedFamily(QApplication::font(), QStringLiteral("口令核对"));
    qm::test::fontsBefore.songFamily = qm::test::resolvedFamily(QFont(QStringLiteral("宋体")), QStringLiteral("细胞"));
    qm::setUpFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
