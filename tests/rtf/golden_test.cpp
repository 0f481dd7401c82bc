// Documents from word processors read to the text LibreOffice gives for them (see
// tests/fixtures/rtf/real/README.md), compared without white space.

#include "rtf/rich_text.h"
#include "support/qstring_print.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString withoutSpace(QString s)
{
    static const QRegularExpression space(QStringLiteral("[\\s\\x{FEFF}]+"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    return s.remove(space);
}

}  // namespace

TEST(RtfGolden, DocumentsReadToTheTextLibreOfficeGives)
{
    const QDir dir(QStringLiteral(QM_RTF_FIXTURES "/real"));
    const QStringList names = dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    EXPECT_GE(names.size(), 11);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QFile rtf(dir.filePath(name));
        QFile txt(dir.filePath(QString(name).replace(QLatin1String(".rtf"), QLatin1String(".txt"))));
        ASSERT_TRUE(rtf.open(QIODevice::ReadOnly));
        ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
        EXPECT_EQ(withoutSpace(qm::rtfPlainText(rtf.readAll())), withoutSpace(QString::fromUtf8(txt.readAll())));
    }
}
