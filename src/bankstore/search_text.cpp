#include "bankstore/search_text.h"

#include "bankstore/bank_rows.h"
#include "bankstore/sqlite_file.h"
#include "core/text_fold.h"
#include "rtf/rtf_text.h"

#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

namespace qm {

QString searchTextOf(QByteArrayView question, QByteArrayView answer)
{
    return foldText(rtfText(question)) + QLatin1Char('\n') + foldText(rtfText(answer));
}

QStringView questionPart(QStringView searchText)
{
    const qsizetype end = searchText.indexOf(QLatin1Char('\n'));
    return end < 0 ? searchText : searchText.first(end);
}

QStringView answerPart(QStringView searchText)
{
    const qsizetype end = searchText.indexOf(QLatin1Char('\n'));
    return end < 0 ? QStringView() : searchText.sliced(end + 1);
}

namespace {

QByteArrayView blobArgument(sqlite3_value* v)
{
    const void* p = sqlite3_value_blob(v);
    return p ? QByteArrayView(static_cast<const char*>(p), sqlite3_value_bytes(v)) : QByteArrayView();
}

void searchTextFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    const QByteArray text = searchTextOf(blobArgument(args[0]), blobArgument(args[1])).toUtf8();
    sqlite3_result_text(context, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

}  // namespace

void registerSearchText(SQLite::Database& db)
{
    sqlite3_create_function_v2(db.getHandle(), "qm_search_text", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               searchTextFunction, nullptr, nullptr, nullptr);
}

void bankrows::writeSearchText(SQLite::Database& db, qint64 id, const Question& question)
{
    SQLite::Statement st(db, "INSERT OR REPLACE INTO 检索 (编号, 文本) VALUES (?, ?)");
    st.bind(1, int64_t(id));
    bindText(st, 2, searchTextOf(question.text, question.answer));
    st.exec();
}

}  // namespace qm
