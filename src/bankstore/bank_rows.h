#pragma once
// Rows of a bank file as the store reads and writes them: column and table names, a
// question from a query row and back, positions turned into keys, filters as WHERE
// clauses, the particulars and the lists. Shared by BankFile, BankReader and BankAppender;
// not for use outside src/bankstore.

#include "bankstore/bank_file.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <string>

namespace qm::bankrows {

const char* column(Attribute a);
// A list table and its one field share the name.
const char* table(AttributeList l);
// The list from which an attribute's values are chosen.
AttributeList listFor(Attribute a);
// "编号, 题目, …, 使用": the fields questionFrom() reads, in its order.
extern const std::string kQuestionFields;
Question questionFrom(const SQLite::Statement& st);
// Binds 题目 … 使用 to parameters 1 to 9.
void bindQuestion(SQLite::Statement& st, const Question& q);
// Rewrites every field but 编号 and 使用 of the question `id` / deletes it with its usage
// records; false when there is no such question. Inside a WriteTransaction.
bool updateQuestion(SQLite::Database& db, qint64 id, const Question& q);
bool deleteQuestion(SQLite::Database& db, qint64 id);
// Writes the searchable text (search_text.h) of question `id`, inside the transaction of
// the write of the question itself.
void writeSearchText(SQLite::Database& db, qint64 id, const Question& question);
// The question or list key at a position; a StoreError naming it when there is none.
Question questionById(SQLite::Database& db, qint64 id);
qint64 idAtPosition(SQLite::Database& db, int position);
int64_t listKeyAt(SQLite::Database& db, AttributeList which, int position);
// " WHERE 题型 = ? AND …" for the conditions of the filter (our own column names only; the
// values are bound by bindFilter in the same order). A condition on uses needs the usage
// records: a bank without them (`usageTable` false) has used no question.
std::string whereClause(const QuestionFilter& f, bool usageTable = false);
void bindFilter(SQLite::Statement& st, const QuestionFilter& f, bool usageTable = false);
// Whether a filter's condition on uses is to be written for this bank.
bool usageConditionFor(SQLite::Database& db, const QuestionFilter& f);
// The one row of 参数 (empty particulars when a bank has lost it).
Particulars particularsOf(SQLite::Database& db);
QStringList listOf(SQLite::Database& db, AttributeList which);
// The highest order key of 题库 (0 when empty); rows numbered above it come last.
int64_t lastOrderKey(SQLite::Database& db);

}  // namespace qm::bankrows
