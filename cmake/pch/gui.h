// Headers precompiled for the logic libraries that also use Qt Gui (the rich-text ones).
#include "core.h"

#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
