#pragma once
// What the files making up the bank window share: the captions of its two-press buttons.

#include "widgets/controls.h"

#include <QString>

namespace qm::form2 {

inline const QString kAdd = QStringLiteral("添　加");
inline const QString kDelete = QStringLiteral("删　除");
inline const QString kModify = QStringLiteral("修　改");
inline const QString kConfirm = QStringLiteral("确　定");
inline const QString kError = QStringLiteral("错误");

}  // namespace qm::form2
