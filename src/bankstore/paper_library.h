#pragma once
// A paper library file (.Juk), and its empty template jk.jk: table 卷库 with one row per
// filed paper, used in stored order (new papers come last).
//
// Papers are addressed by their 0-based position in that order (the window counts from 1).
// Every call opens the file, works in one transaction and closes it; a failing call changes
// nothing and puts a Chinese message into `error` when given.

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace qm {

// The particulars shown and edited with a paper.
struct PaperParticulars {
    QString name;        // 卷名
    QString setter;      // 出卷人
    QString group;       // 教研组 (teaching group)
    QString department;  // 科室
    QString date;        // 时间: the filing date as the user's text

    bool operator==(const PaperParticulars&) const = default;
};

// One row of 卷库.
struct Paper {
    QByteArray paper;    // 试卷: a whole RTF document
    QByteArray answers;  // 答卷: a whole RTF document, may be empty
    PaperParticulars particulars;
    QString remark;  // 备注: not shown, carried by a merge

    bool operator==(const Paper&) const = default;
};

// Why `particulars` cannot be filed, or nothing when they can: a line break, a tab or
// another control character in one of them has no place in a one-line box and would break
// the line a paper takes in a listing. append() and update() refuse them.
std::optional<QString> particularsProblem(const PaperParticulars& particulars);

// The two documents of a paper.
enum class PaperDocument { Paper, Answers };  // 试卷 答卷

// What saving a shown paper writes: the documents that changed, and the particulars.
struct PaperEdit {
    std::optional<QByteArray> paper;    // 试卷, when it changed
    std::optional<QByteArray> answers;  // 答卷, when it changed
    PaperParticulars particulars;
};

class PaperLibrary {
public:
    explicit PaperLibrary(QString path);
    const QString& path() const { return m_path; }

    // Makes a new library without papers (the template). Fails when the file exists.
    static bool createEmpty(const QString& path, QString* error = nullptr);
    // Makes a new library as a copy of the template (normally ProgramDir + "jk.jk").
    static bool createFromTemplate(const QString& templatePath, const QString& path, QString* error = nullptr);
    // True when the file opens as a paper library.
    bool check(QString* error = nullptr) const;

    std::optional<int> count(QString* error = nullptr) const;
    // The paper at `position`, or the last one for -1; an error when there is none.
    std::optional<Paper> read(int position, QString* error = nullptr) const;
    // Files a paper after the last one; returns its position.
    std::optional<int> append(const Paper& paper, QString* error = nullptr);
    // Files the papers after the last one in their order, all or none; returns the position
    // of the first.
    std::optional<int> appendAll(const QList<Paper>& papers, QString* error = nullptr);
    // Saves one document of the paper at `position` together with its particulars; the
    // other document and the remark stay.
    bool update(int position, PaperDocument which, const QByteArray& document, const PaperParticulars& particulars,
                QString* error = nullptr);
    // Saves the changed documents of the paper at `position` and its particulars in one
    // step; a document not given stays as it is.
    bool update(int position, const PaperEdit& edit, QString* error = nullptr);
    // Deletes the paper at `position`; returns the number of papers left.
    std::optional<int> remove(int position, QString* error = nullptr);
    // Appends every paper of the library `sourcePath`, in its order, all or nothing; returns
    // the number added. The library itself as the source adds nothing.
    std::optional<int> mergeFrom(const QString& sourcePath, QString* error = nullptr);
    // Calls `visit` with every paper in order; false on failure. The papers are read a few
    // at a time and visited while the file is free, so that a long visit keeps no one from
    // writing. They are the papers there were at the start, less those deleted meanwhile;
    // the positions are those of the moment each was read.
    bool forEach(const std::function<void(int position, const Paper&)>& visit, QString* error = nullptr) const;

private:
    QString m_path;
};

// The library file's extension, as a new library gets it; names match it in any case.
inline const QString kLibraryExtension = QStringLiteral(".Juk");

// A document the user names for filing (the paper or the answer sheet of an imported
// paper): the whole RTF file, or nothing with a message naming the file when it cannot be
// read or is not RTF.
std::optional<QByteArray> readPaperDocument(const QString& path, QString* error = nullptr);

}  // namespace qm
