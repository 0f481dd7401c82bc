#include "bankstore/paper_library.h"

#include "bankstore/server_library.h"
#include "bankstore/server_store.h"
#include "bankstore/sqlite_file.h"
#include "core/input_file.h"

#include <QDir>
#include <cctype>

namespace qm {

namespace {

// The key of the paper at `position`; -1 means the last paper only where `lastAllowed`.
int64_t keyAt(SQLite::Database& db, int position, bool lastAllowed = false)
{
    const bool valid = position >= 0 || (lastAllowed && position == -1);
    const auto key = valid ? columnAtPosition(db, "卷库", "次序", position) : std::nullopt;
    if (!key)
        throw StoreError{QStringLiteral("试卷库中没有第%1份试卷。").arg(position + 1)};
    return *key;
}

// How much of the documents forEach reads at a time.
constexpr qint64 kReadShareBytes = qint64(32) << 20;

// The fields of 卷库 in the order paperAt reads them.
constexpr const char* kPaperColumns = "试卷, 答卷, 卷名, 出卷人, 教研组, 科室, 时间, 备注";

// The paper in the current row of a statement selecting kPaperColumns.
Paper paperAt(SQLite::Statement& st)
{
    return Paper{columnBlob(st.getColumn(0)),
                 columnBlob(st.getColumn(1)),
                 {columnText(st.getColumn(2)), columnText(st.getColumn(3)), columnText(st.getColumn(4)),
                  columnText(st.getColumn(5)), columnText(st.getColumn(6))},
                 columnText(st.getColumn(7))};
}

void bindParticulars(SQLite::Statement& st, int first, const PaperParticulars& p)
{
    int i = first;
    for (const QString* v : {&p.name, &p.setter, &p.group, &p.department, &p.date})
        bindText(st, i++, *v);
}

// A refused set of particulars ends the store operation with its reason.
void requireFileable(const PaperParticulars& particulars)
{
    if (const std::optional<QString> problem = particularsProblem(particulars))
        throw StoreError{*problem};
}

// Every paper of the library `path`, of either store, in order.
std::optional<QList<Paper>> allPapers(const QString& path, QString* error)
{
    QList<Paper> papers;
    if (!PaperLibrary(path).check(error)
        || !PaperLibrary(path).forEach([&](int, const Paper& p) { papers.append(p); }, error))
        return std::nullopt;
    return papers;
}

}  // namespace

std::optional<int> copyLibrary(const QString& from, const QString& to, QString* error)
{
    if (!PaperLibrary(from).check(error) || !PaperLibrary::createEmpty(to, error))
        return std::nullopt;
    // The papers are filed a share at a time, so that a large library is never held whole;
    // a copy that fails on the way is deleted.
    PaperLibrary target(to);
    QList<Paper> share;
    qint64 bytes = 0;
    int copied = 0;
    bool failed = false;
    const auto file = [&] {
        failed = failed || (!share.isEmpty() && !target.appendAll(share, error));
        copied += int(share.size());
        share.clear();
        bytes = 0;
    };
    const bool read = PaperLibrary(from).forEach(
        [&](int, const Paper& p) {
            if (failed)
                return;
            share.append(p);
            bytes += p.paper.size() + p.answers.size();
            if (bytes >= kReadShareBytes)
                file();
        },
        error);
    if (read)
        file();
    if (read && !failed)
        return copied;
    if (isServerPath(to))
        ServerLibrary::removeLibrary(to);
    else
        QFile::remove(to);
    return std::nullopt;
}

std::optional<QString> particularsProblem(const PaperParticulars& particulars)
{
    const std::pair<const char16_t*, const QString*> fields[] = {{u"卷名", &particulars.name},
                                                                 {u"出卷人", &particulars.setter},
                                                                 {u"教研组", &particulars.group},
                                                                 {u"科室", &particulars.department},
                                                                 {u"时间", &particulars.date}};
    for (const auto& [label, value] : fields)
        for (const QChar c : *value)
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                return QStringLiteral("“%1”中不能有换行符、制表符等控制字符！").arg(QString::fromUtf16(label));
    return std::nullopt;
}

PaperLibrary::PaperLibrary(QString path) : m_path(std::move(path)) {}

bool PaperLibrary::createEmpty(const QString& path, QString* error)
{
    if (isServerPath(path))
        return ServerLibrary::createEmpty(path, error);
    return createDbFile(path, DbKind::PaperLibrary, error);
}

bool PaperLibrary::createFromTemplate(const QString& templatePath, const QString& path, QString* error)
{
    if (isServerPath(path) || isServerPath(templatePath))
        return copyLibrary(templatePath, path, error).has_value();
    return copyTemplate(templatePath, path, DbKind::PaperLibrary, error);
}

bool PaperLibrary::check(QString* error) const
{
    if (isServerPath(m_path))
        return ServerLibrary(m_path).check(error);
    return openDbFile(m_path, DbKind::PaperLibrary, error).has_value();
}

std::optional<int> PaperLibrary::count(QString* error) const
{
    if (isServerPath(m_path))
        return ServerLibrary(m_path).count(error);
    return withDbFile(m_path, DbKind::PaperLibrary, error, [](SQLite::Database& db) { return rowCount(db, "卷库"); });
}

std::optional<Paper> PaperLibrary::read(int position, QString* error) const
{
    if (isServerPath(m_path))
        return ServerLibrary(m_path).read(position, error);
    return withDbFile(m_path, DbKind::PaperLibrary, error, [&](SQLite::Database& db) {
        SQLite::Transaction read(db);
        SQLite::Statement st(db, (QByteArray("SELECT ") + kPaperColumns + " FROM 卷库 WHERE 次序 = ?").constData());
        st.bind(1, keyAt(db, position, true));
        st.executeStep();
        Paper p = paperAt(st);
        read.commit();
        return p;
    });
}

std::optional<int> PaperLibrary::append(const Paper& paper, QString* error)
{
    return appendAll({paper}, error);
}

std::optional<int> PaperLibrary::appendAll(const QList<Paper>& papers, QString* error)
{
    if (isServerPath(m_path))
        return ServerLibrary(m_path).appendAll(papers, error);
    return withDbFile(m_path, DbKind::PaperLibrary, error, [&](SQLite::Database& db) {
        for (const Paper& paper : papers)
            requireFileable(paper.particulars);
        WriteTransaction tx(db);
        SQLite::Statement st(db, "INSERT INTO 卷库 (试卷, 答卷, 卷名, 出卷人, 教研组, 科室, 时间, 备注) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        const int first = rowCount(db, "卷库");
        for (const Paper& paper : papers) {
            bindBlob(st, 1, paper.paper);
            bindBlob(st, 2, paper.answers);
            bindParticulars(st, 3, paper.particulars);
            bindText(st, 8, paper.remark);
            st.exec();
            st.reset();
        }
        tx.commit();
        return first;
    });
}

bool PaperLibrary::update(int position, PaperDocument which, const QByteArray& document,
                          const PaperParticulars& particulars, QString* error)
{
    PaperEdit edit;
    (which == PaperDocument::Paper ? edit.paper : edit.answers) = document;
    edit.particulars = particulars;
    return update(position, edit, error);
}

bool PaperLibrary::update(int position, const PaperEdit& edit, QString* error)
{
    if (isServerPath(m_path))
        return ServerLibrary(m_path).update(position, edit, error);
    return withDbFile(m_path, DbKind::PaperLibrary, error,
                      [&](SQLite::Database& db) {
                          requireFileable(edit.particulars);
                          WriteTransaction tx(db);
                          std::string sql = "UPDATE 卷库 SET ";
                          if (edit.paper)
                              sql += "试卷 = ?, ";
                          if (edit.answers)
                              sql += "答卷 = ?, ";
                          sql += "卷名 = ?, 出卷人 = ?, 教研组 = ?, 科室 = ?, 时间 = ? WHERE 次序 = ?";
                          SQLite::Statement st(db, sql);
                          int next = 1;
                          if (edit.paper)
                              bindBlob(st, next++, *edit.paper);
                          if (edit.answers)
                              bindBlob(st, next++, *edit.answers);
                          bindParticulars(st, next, edit.particulars);
                          st.bind(next + 5, keyAt(db, position));
                          st.exec();
                          tx.commit();
                          return true;
                      })
        .has_value();
}

std::optional<int> PaperLibrary::remove(int position, QString* error)
{
    if (isServerPath(m_path))
        return ServerLibrary(m_path).remove(position, error);
    return withDbFile(m_path, DbKind::PaperLibrary, error, [&](SQLite::Database& db) {
        {
            WriteTransaction tx(db);
            SQLite::Statement st(db, "DELETE FROM 卷库 WHERE 次序 = ?");
            st.bind(1, keyAt(db, position));
            st.exec();
            tx.commit();
        }
        compactIfWasteful(db);
        return rowCount(db, "卷库");
    });
}

std::optional<int> PaperLibrary::mergeFrom(const QString& sourcePath, QString* error)
{
    if (isSameFile(m_path, sourcePath))
        return 0;
    if (isServerPath(m_path) || isServerPath(sourcePath)) {
        if (m_path == sourcePath)
            return 0;
        // Across the stores or on a server: the source's papers, then filed all at once.
        const std::optional<QList<Paper>> papers = allPapers(sourcePath, error);
        if (!papers || !appendAll(*papers, error))
            return std::nullopt;
        return int(papers->size());
    }
    if (!PaperLibrary(sourcePath).check(error))
        return std::nullopt;
    return withDbFile(m_path, DbKind::PaperLibrary, error, [&](SQLite::Database& db) {
        SQLite::Statement attach(db, "ATTACH DATABASE ? AS 来源");
        bindText(attach, 1, sourcePath);
        attach.exec();
        // One statement in one transaction: a failure on any paper adds none. Fields a
        // library from elsewhere left without a value are copied as empty.
        WriteTransaction tx(db);
        SQLite::Statement copy(db, "INSERT INTO main.卷库 (试卷, 答卷, 卷名, 出卷人, 教研组, 科室, 时间, 备注) "
                                   "SELECT ifnull(试卷, x''), ifnull(答卷, x''), ifnull(卷名, ''), ifnull(出卷人, ''), "
                                   "ifnull(教研组, ''), ifnull(科室, ''), ifnull(时间, ''), ifnull(备注, '') "
                                   "FROM 来源.卷库 ORDER BY 次序");
        const int added = copy.exec();
        tx.commit();
        return added;
    });
}

bool PaperLibrary::forEach(const std::function<void(int, const Paper&)>& visit, QString* error) const
{
    if (isServerPath(m_path))
        return ServerLibrary(m_path).forEach(visit, error);
    // The papers are read a share at a time, each share in one short read, and visited after
    // the file is let go: what a visit does with a paper may take long, and meanwhile others
    // must be able to file papers. The papers are those there were at the first read.
    std::optional<int64_t> last;  // the key of the last paper read
    int64_t end = 0;              // the key of the last paper at the first read
    for (;;) {
        QList<std::pair<int, Paper>> share;
        const bool read =
            withDbFile(m_path, DbKind::PaperLibrary, error, [&](SQLite::Database& db) {
                SQLite::Transaction tx(db);
                int position = 0;
                if (last) {
                    SQLite::Statement before(db, "SELECT count(*) FROM 卷库 WHERE 次序 <= ?");
                    before.bind(1, *last);
                    before.executeStep();
                    position = before.getColumn(0).getInt();
                } else {
                    end = db.execAndGet("SELECT ifnull(max(次序), 0) FROM 卷库").getInt64();
                }
                SQLite::Statement st(db,
                                     (QByteArray("SELECT ") + kPaperColumns
                                      + ", 次序 FROM 卷库 WHERE 次序 <= ?1 AND (?2 IS NULL OR 次序 > ?2) ORDER BY 次序")
                                         .constData());
                st.bind(1, end);
                if (last)
                    st.bind(2, *last);
                qint64 bytes = 0;
                while (bytes < kReadShareBytes && st.executeStep()) {
                    share.append({position++, paperAt(st)});
                    bytes += share.last().second.paper.size() + share.last().second.answers.size();
                    last = st.getColumn(8).getInt64();
                }
                tx.commit();
                return true;
            }).has_value();
        if (!read)
            return false;
        if (share.isEmpty())
            return true;
        for (const auto& [position, paper] : share)
            visit(position, paper);
    }
}

std::optional<QByteArray> readPaperDocument(const QString& path, QString* error)
{
    std::optional<QByteArray> bytes = readInputFile(path, error);
    if (!bytes)
        return std::nullopt;
    // An RTF document opens with "{\rtf"; some writers put blank lines before it.
    qsizetype start = 0;
    while (start < bytes->size() && std::isspace(static_cast<unsigned char>(bytes->at(start))))
        ++start;
    if (!QByteArrayView(*bytes).sliced(start).startsWith("{\\rtf")) {
        if (error)
            *error = QStringLiteral("文件“%1”不是RTF格式文件，不能导入！").arg(QDir::toNativeSeparators(path));
        return std::nullopt;
    }
    return bytes;
}

}  // namespace qm
