#pragma once
// The server's side of bankstore/places.h: the same operations on the database `uri`.

#include <QString>
#include <QStringList>
#include <optional>

namespace qm::server {

std::optional<QStringList> subjects(const QString& uri, QString* error);
std::optional<QStringList> entries(const QString& uri, const QString& subject, const QString& pattern, QString* error);
bool makeSubject(const QString& uri, const QString& name, QString* error);
// False when the subject holds banks or libraries; nothing when the database failed.
std::optional<bool> removeSubject(const QString& uri, const QString& name, QString* error);
bool renameSubject(const QString& uri, const QString& from, const QString& to, QString* error);

}  // namespace qm::server
