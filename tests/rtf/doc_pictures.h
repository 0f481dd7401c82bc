#pragma once
// The pictures of a document, in document order (nested tables' included).

#include <QList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>

inline QList<QTextImageFormat> pictures(const QTextDocument& doc)
{
    QList<QTextImageFormat> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                out << it.fragment().charFormat().toImageFormat();
    return out;
}
