#pragma once
// A readable summary of a document's text and formatting, for comparing documents in tests.

#include <QString>

class QTextDocument;

QString describe(const QTextDocument& doc);
// The RTF of a GBK string literal: "\'hh" for each byte.
QByteArray gbkHex(const QString& text);
