#pragma once

#include "gui/platform/ChmTopic.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The texts inside a compiled help file: its contents (.hhc) and index (.hhk)
// files, read by a forgiving scan that never fails, and its pages' titles.
namespace ChmSitemap {

// UTF-8 when the bytes are valid UTF-8, else Latin-1.
QString decodeText(const QByteArray &bytes);
// The text up to the first NUL, decoded and trimmed.
QString cString(const QByteArray &bytes);
// The topics of a contents or index file; at worst an empty list.
QList<ChmTopic> parse(const QByteArray &text);
// The text of a page's <title>, entities decoded; empty when it has none.
QString pageTitle(const QByteArray &html);

} // namespace ChmSitemap
