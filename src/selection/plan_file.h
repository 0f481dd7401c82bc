#pragma once
// Composition plans ("出题方案", *.faa): a finished count grid with the bank it belongs to
// and the four options, to compose papers of the same shape later.
//
// A plan is a GBK text file of CR LF lines, one value each: subject, bank file name,
// speciality and syllabus (quoted texts), the options 不分章节, 不分单元, 不分难度, 无论分值
// (0 or 1), the grid's rows R (header included) and columns C, then the R × C cells row by
// row from the header (quoted texts). A double quote inside a text is written twice.

#include "selection/count_grid.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace qm::selection {

struct Plan {
    QString subject;
    QString bank;
    QString speciality;
    QString syllabus;
    GridOptions options;
    Grid grid;

    bool operator==(const Plan&) const = default;
};

// The file's bytes; nothing, with `error` naming the value, when a value has a line break
// or characters GBK lacks.
std::optional<QByteArray> planBytes(const Plan& plan, QString* error = nullptr);
// Reads a plan. Nothing, with a Chinese message in `error`, when a line is missing, a number
// is not a number, an option is not 0 or 1, R × C does not match the cell lines, or the grid
// is not a count grid for the plan's options. An empty file is reported as such in `*empty`.
std::optional<Plan> parsePlan(QByteArrayView bytes, QString* error = nullptr, bool* empty = nullptr);

// The same on a file: writing replaces the file whole or leaves it as it was; reading
// refuses what is not an ordinary file of reasonable size.
bool savePlan(const QString& path, const Plan& plan, QString* error = nullptr);
std::optional<Plan> loadPlan(const QString& path, QString* error = nullptr, bool* empty = nullptr);

}  // namespace qm::selection
