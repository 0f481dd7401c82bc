#pragma once
// Files the program writes where the user says: papers and answer sheets, their PDFs,
// plans, converted documents, the shipped files.
//
// A slip of a name must never cost a file: before anything is written, each target is
// checked to be a new name or an ordinary file holding nothing or a file of the output's
// own kind, and to be none of the files the work reads and no other output of it. Then each
// output is written whole under a temporary name beside its target and flushed to the disk;
// only when all of them are complete do they replace their targets. A full disk, a size
// limit or a crash leaves the old files as they were.

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace qm {

// What a file holds, told by its first bytes.
enum class FileKind {
    Empty,     // no bytes
    Database,  // a bank, paper library or user file (SQLite)
    Pdf,
    Rtf,
    Text,   // a plan, the settings, any other text
    Other,  // something else: a picture, a word processor's own file …
    Any,    // as an output's kind: it may replace whatever the file holds
};

// The kind of an existing ordinary file; Other when it cannot be read.
FileKind kindOfFile(const QString& path);

// True when both paths lead to one file: an existing file however it is reached (links,
// "..", another hard link), a new name by the real directory it goes into.
bool sameFile(const QString& a, const QString& b);

// A file to be written and the kind of what it will hold.
struct Output {
    QString path;
    FileKind kind;
};

// Why the outputs cannot go where they are meant to, in Chinese and naming the file, or
// nothing when they can: each must be a new name or an ordinary file (never a directory, a
// device or a pipe) that is empty or holds a file of the output's kind, none may be one of
// `inputs` (the files the work reads or has open), and no two may be the same file.
std::optional<QString> refuseOutputs(const QList<Output>& outputs, const QStringList& inputs = {});

// Outputs written together. write() puts each one whole under a temporary name beside its
// target and flushes it to the disk; commit() then moves every one onto its target. Until
// commit() no target is touched, and what is not committed is removed with the object.
class OutputFiles {
public:
    OutputFiles() = default;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;
    ~OutputFiles();

    // False, with `error` naming the target as `what` ("文件", "PDF文件" …), when the
    // target is not an ordinary file or new name, or the bytes cannot all be written.
    bool write(const QString& target, QByteArrayView bytes, QString* error = nullptr,
               const QString& what = QStringLiteral("文件"));
    // Moves the written outputs onto their targets, in the order they were written.
    bool commit(QString* error = nullptr);

private:
    struct Pending {
        QString part;    // the temporary file
        QString target;  // where it goes: the file a link leads to, not the link
        QString shown;   // the target as the user named it, for messages
        QString what;
    };
    QList<Pending> m_pending;
};

}  // namespace qm
