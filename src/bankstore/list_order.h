#pragma once
// The order in which a bank's attribute values are offered for choosing.

#include <QStringList>

namespace qm {

// `values` (each once) in the order of the bank's attribute list `list`, which the teacher
// arranges in the bank window: first the values the list holds, where the list first
// names them; then the values it lacks, in natural order (core/natural_order.h).
QStringList inListOrder(const QStringList& values, const QStringList& list);

}  // namespace qm
