// libFuzzer target: a composition plan file of arbitrary bytes is read as the composition
// window reads it. Nothing may crash or hang; a plan that is read must be a count grid for
// its options that writes out and reads back as the same plan.

#include "selection/plan_file.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace qm::selection;
    QString error;
    bool empty = false;
    const std::optional<Plan> plan =
        parsePlan(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), &error, &empty);
    if (!plan) {
        // Refused with a reason, or empty without one.
        if (empty == error.isEmpty())
            return 0;
        std::abort();
    }
    if (plan->grid.isEmpty() || plan->grid[0] != gridHeader(plan->options))
        std::abort();
    for (const QStringList& row : plan->grid)
        if (row.size() != plan->grid[0].size())
            std::abort();
    // What was read can be written (GBK decoding gives only characters GBK has, or U+FFFD,
    // which it lacks), and what is written reads back the same.
    if (const std::optional<QByteArray> bytes = planBytes(*plan))
        if (parsePlan(*bytes) != plan)
            std::abort();
    return 0;
}
