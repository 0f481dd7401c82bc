#pragma once
// The line format of the configuration files (work path, paper header settings,
// composition plans): texts in double quotes, bare numbers and #TRUE#/#FALSE#, one
// item a line ended by CR LF, stored in GBK.

#include <QString>
#include <QStringList>
#include <optional>

namespace qm {

class DelimitedWriter {
public:
    void text(const QString& value);  // "value"
    void number(double value);        // 12, 1.5
    void boolean(bool value);         // #TRUE# / #FALSE#

    const QString& content() const { return m_text; }
    // Writes the items to `path` in GBK, replacing the file. On failure nothing is changed
    // and `error` says why in Chinese.
    bool save(const QString& path, QString* error = nullptr) const;

private:
    QString m_text;
};

// Reads items separated by commas or line ends. A quoted item runs to the next double
// quote (commas inside belong to it); a bare item runs to the next comma or line end and
// loses its trailing blanks. Leading blanks are skipped in both.
class DelimitedReader {
public:
    explicit DelimitedReader(QString content);
    // Reads a GBK file; a file that cannot be read gives a reader that is at its end and
    // reports the failure in error().
    static DelimitedReader fromFile(const QString& path);

    bool atEnd() const;

    // Each read returns nothing and sets error() when there is no further item or the item
    // is of the wrong kind; the reader then stays where it was.
    std::optional<QString> text();
    std::optional<double> number();
    std::optional<bool> boolean();

    QString error() const { return m_error; }

private:
    struct Item {
        QString value;
        bool quoted = false;
        qsizetype next = 0;
    };
    std::optional<Item> peek() const;

    QString m_content;
    qsizetype m_pos = 0;
    QString m_error;
};

}  // namespace qm
