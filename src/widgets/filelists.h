#pragma once
// Lists for choosing files on disk: the files of one directory that match a pattern, the
// subdirectories of a directory, and the places (drives) to start from.

#include "core/fileops.h"

#include <QComboBox>
#include <QListWidget>
#include <functional>

namespace qm {

// The files of Path() whose names match Pattern() without regard to letter case
// ("*.tik" also lists "样本.TIK"), sorted by name. Choosing an entry with a click or the
// keyboard emits clicked(). A new Path() starts with nothing chosen.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString Path() const { return m_path; }
    // Sets the directory and re-reads it.
    void setPath(const QString& path);
    QString Pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);
    // Re-reads the directory, keeping the selected name when it is still there.
    void Refresh();
    // What gives the names of Path() that match Pattern(), in list order: filesMatching
    // unless a window lists a place that is not a directory (a subject on a database server).
    using Lister = std::function<QStringList(const QString& path, const QString& pattern)>;
    void setLister(Lister lister) { m_lister = std::move(lister); }

    int ListCount() const { return count(); }
    QString List(int index) const;
    // The selected entry's index, -1 when none.
    int ListIndex() const { return currentRow(); }
    void setListIndex(int index);
    // The selected file's name, "" when none.
    QString FileName() const;
    // Selects the entry with this name (any letter case); false when there is none.
    bool selectFile(const QString& name);
    // What a click on entry `index` does.
    void clickItem(int index);

Q_SIGNALS:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
    Lister m_lister;
};

// The subdirectories of Path(), sorted; a double click (or Enter) on an entry, or on
// ".." at the top, changes Path() and emits pathChanged().
class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    QString Path() const { return m_path; }
    void setPath(const QString& path);
    void Refresh();
    // Full paths of the subdirectories, in list order.
    QStringList subdirectories() const { return m_subdirs; }

Q_SIGNALS:
    void pathChanged(const QString& path);

private:
    void enter(QListWidgetItem* item);

    QString m_path;
    QStringList m_subdirs;
};

// The places to copy from or to: the root, the home directory and mounted media.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);
    QString Drive() const { return currentData().toString(); }

Q_SIGNALS:
    void driveChanged(const QString& path);
};

// Points a place list and its directory list at the home directory, unless the directory
// list already shows a directory (the place chosen last time stays).
void startAtHome(DriveListBox* drive, DirListBox* dir);

}  // namespace qm
