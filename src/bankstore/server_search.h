#pragma once
// The searchable texts of a bank on a server, for BankFile's search and duplicates and for
// BankSearcher. Not for use outside src/bankstore.

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace qm::server {

// Calls `visit` with each question's 编号 and searchable text (UTF-8), ascending 编号, those
// missing made and stored first. `stamp` gets the bank's count of writes as it was when the
// texts were read. False, with `error`, on failure.
bool forEachSearchText(const QString& path, const std::function<void(qint64, const char*, int)>& visit,
                       QByteArray* stamp, QString* error);
// The bank's count of writes now, as forEachSearchText gives it.
std::optional<QByteArray> searchStamp(const QString& path, QString* error);

// What a search lists of a question: its order key, 题型 and 章节.
struct FoundRow {
    qint64 id = 0;
    qint64 order = 0;
    QString type;
    QString chapter;
};
// Those of the questions with these 编号 that are still there, in no particular order.
std::optional<QList<FoundRow>> foundRows(const QString& path, const QList<qint64>& ids, QString* error);

}  // namespace qm::server
