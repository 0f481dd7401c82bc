#pragma once
// A stand-in for the word processor: a shell script that QUELLMARK_WORD_PROCESSOR names
// while the object lives. The script gets the hand-off file as "$1"; its body does to the
// file what the user would do in the word processor. The variable's old value comes back
// afterwards.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace qm::test {

class WordScript {
public:
    // `body` is shell code run with the file as "$1" and $DIR the script's own directory.
    explicit WordScript(const QByteArray& body);
    ~WordScript();
    WordScript(const WordScript&) = delete;
    WordScript& operator=(const WordScript&) = delete;

    // The script's directory (ending with '/'), where a body may leave or await files.
    QString dir() const;
    QString file(const QString& name) const { return dir() + name; }

    // A script body that writes this RTF over the file, as a save in the word processor.
    static QByteArray savesRtf(const QByteArray& rtf);

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_hadOld;
};

}  // namespace qm::test
