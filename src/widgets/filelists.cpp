#include "widgets/filelists.h"

#include "core/paths.h"

#include <QDir>
#include <QKeyEvent>
#include <QStorageInfo>
#include <algorithm>

namespace qm {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { clickItem(row(item)); });
}

void FileListBox::setPath(const QString& path)
{
    // In another directory nothing is chosen yet, even where a file of the same name is.
    if (path != m_path) {
        m_path = path;
        clear();
    }
    Refresh();
}

void FileListBox::keyPressEvent(QKeyEvent* event)
{
    // Choosing a file with the arrow keys is choosing it as a click does.
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0)
        Q_EMIT clicked();
}

void FileListBox::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    Refresh();
}

void FileListBox::Refresh()
{
    const QString selected = FileName();
    clear();
    if (m_path.isEmpty())
        return;
    addItems(m_lister ? m_lister(m_path, m_pattern) : filesMatching(m_path, m_pattern));
    if (!selected.isEmpty())
        selectFile(selected);
}

QString FileListBox::List(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

void FileListBox::setListIndex(int index)
{
    setCurrentRow(index);
    if (index < 0)
        clearSelection();
}

QString FileListBox::FileName() const
{
    const QListWidgetItem* it = currentItem();
    return it && it->isSelected() ? it->text() : QString();
}

bool FileListBox::selectFile(const QString& name)
{
    for (int i = 0; i < count(); ++i) {
        if (sameFileName(item(i)->text(), name)) {
            setCurrentRow(i);
            return true;
        }
    }
    return false;
}

void FileListBox::clickItem(int index)
{
    if (index < 0 || index >= count())
        return;
    setCurrentRow(index);
    Q_EMIT clicked();
}

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemDoubleClicked, this, &DirListBox::enter);
    connect(this, &QListWidget::itemActivated, this, &DirListBox::enter);
}

void DirListBox::setPath(const QString& path)
{
    const QString clean = withTrailingSep(QDir::cleanPath(path));
    const bool changed = clean != m_path;
    m_path = clean;
    Refresh();
    if (changed)
        Q_EMIT pathChanged(m_path);
}

void DirListBox::Refresh()
{
    clear();
    m_subdirs.clear();
    if (m_path.isEmpty())
        return;
    QDir dir(m_path);
    if (!dir.isRoot())
        addItem(QStringLiteral(".."));
    // Hidden directories (".git", ".Trash") are no places to keep or copy banks.
    const QStringList names = sortedByGbk(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System));
    for (const QString& n : names) {
        addItem(n);
        m_subdirs << m_path + n;
    }
}

void DirListBox::enter(QListWidgetItem* item)
{
    if (!item)
        return;
    if (item->text() == QLatin1String("..")) {
        QDir up(m_path);
        up.cdUp();
        setPath(up.absolutePath());
    } else {
        setPath(m_path + item->text());
    }
}

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent)
{
    QStringList places{QStringLiteral("/"), QDir::homePath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/mnt/"))
            || root.startsWith(QLatin1String("/run/media/")))
            places << root;
    }
    for (const QString& p : places) {
        const QString path = withTrailingSep(p);
        if (findData(path) < 0)
            addItem(QDir::toNativeSeparators(path), path);
    }
    connect(this, &QComboBox::currentIndexChanged, this, [this] { Q_EMIT driveChanged(Drive()); });
}

void startAtHome(DriveListBox* drive, DirListBox* dir)
{
    if (!dir->Path().isEmpty())
        return;
    const int home = drive->findData(withTrailingSep(QDir::homePath()));
    drive->setCurrentIndex(std::max(home, 0));
    dir->setPath(drive->Drive());
}

}  // namespace qm
