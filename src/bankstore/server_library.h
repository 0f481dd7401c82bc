#pragma once
// The server store of paper libraries: what PaperLibrary does for a path naming a library
// on a PostgreSQL server (URI#学科/名称.Juk). Each operation is one transaction; papers keep
// their filing order, and positions count in it as in a library file.
// Not for use outside src/bankstore.

#include "bankstore/paper_library.h"

namespace qm {

class ServerLibrary {
public:
    explicit ServerLibrary(QString path) : m_path(std::move(path)) {}

    static bool createEmpty(const QString& path, QString* error);
    // Deletes the library with its papers; a missing one is no error.
    static bool removeLibrary(const QString& path, QString* error = nullptr);
    bool check(QString* error) const;
    std::optional<int> count(QString* error) const;
    std::optional<Paper> read(int position, QString* error) const;
    std::optional<int> appendAll(const QList<Paper>& papers, QString* error);
    bool update(int position, const PaperEdit& edit, QString* error);
    std::optional<int> remove(int position, QString* error);
    bool forEach(const std::function<void(int position, const Paper&)>& visit, QString* error) const;

private:
    QString m_path;
};

}  // namespace qm
