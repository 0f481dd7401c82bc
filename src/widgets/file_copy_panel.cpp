#include "widgets/file_copy_panel.h"

#include "core/fileops.h"
#include "core/paths.h"
#include "widgets/busycursor.h"
#include "widgets/controls.h"
#include "widgets/dialogkeys.h"
#include "widgets/filelists.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

FileCopyPanel::FileCopyPanel(QWidget* window, DialogKeys* keys, const FileCopySetup& setup)
    : QGroupBox(setup.caption, window), m_keys(keys), m_clickGivesPath(setup.clickGivesPath)
{
    setObjectName(setup.frame);
    m_places = new DriveListBox(this);
    m_places->setObjectName(setup.drive);
    m_dirs = new DirListBox(this);
    m_dirs->setObjectName(setup.dir);
    if (!setup.file.isEmpty()) {
        m_files = new FileListBox(this);
        m_files->setObjectName(setup.file);
        m_files->setPattern(setup.pattern);
    }
    m_name = makeLineEdit(this, setup.name);
    m_confirm = makeButton(this, setup.confirm, setup.confirmCaption);
    m_cancel = makeButton(this, setup.cancel, setup.cancelCaption);

    auto* lists = new QHBoxLayout;
    lists->addWidget(m_dirs);
    if (m_files)
        lists->addWidget(m_files);
    auto* name = new QVBoxLayout;
    name->addWidget(new QLabel(setup.nameLabel, this));
    name->addWidget(m_name);
    auto* layout = new QVBoxLayout(this);
    if (!setup.placeLabel.isEmpty()) {
        layout->addLayout(name);
        layout->addWidget(new QLabel(setup.placeLabel, this));
    }
    layout->addWidget(m_places);
    layout->addLayout(lists, 1);
    if (setup.placeLabel.isEmpty())
        layout->addLayout(name);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_confirm);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    connect(m_places, &DriveListBox::driveChanged, this, &FileCopyPanel::placeChosen);
    connect(m_dirs, &DirListBox::pathChanged, this, [this](const QString& path) {
        if (m_files)
            m_files->setPath(path);
        directoryChanged();
    });
    if (m_files) {
        connect(m_files, &FileListBox::clicked, this, &FileCopyPanel::fileChosen);
        connect(m_files, &QListWidget::itemDoubleClicked, this, &FileCopyPanel::fileConfirmed);
    }
    hide();
}

void FileCopyPanel::placeChosen(const QString& place)
{
    const QFileInfo info(place);
    if (info.isDir() && info.isReadable())
        m_dirs->setPath(place);
}

void FileCopyPanel::fileChosen()
{
    const QString name = m_files->FileName();
    m_name->setText(m_clickGivesPath ? withTrailingSep(m_files->Path()) + name : name);
}

void FileCopyPanel::fileConfirmed()
{
    if (m_files->FileName().isEmpty())
        return;
    fileChosen();
    confirm();
}

void FileCopyPanel::dismiss()
{
    hide();
    m_keys->setDefaultButton(nullptr);
    m_keys->setCancelButton(nullptr);
}

void FileCopyPanel::start()
{
    startAtHome(m_places, m_dirs);
    if (m_files)
        m_files->setPath(m_dirs->Path());
    directoryChanged();
    m_keys->setDefaultButton(m_confirm);
    m_keys->setCancelButton(m_cancel);
    if (m_name->isReadOnly())
        m_dirs->setFocus();
    else
        m_name->setFocus();
}

int FileCopyPanel::copy(Prompt& prompt, const QString& source, const QString& target)
{
    const BusyCursor busy;
    return CopyFileWithPrompt(prompt, source, target);
}

}  // namespace qm
