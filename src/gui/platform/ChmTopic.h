#pragma once

#include <QList>
#include <QString>

// One entry of a compiled help file's table of contents: the caption shown in
// the contents tree, the page it opens (a path inside the archive, possibly with
// a "#anchor"; empty for a heading without a page) and the entries below it.
struct ChmTopic {
    QString name;
    QString local;
    QList<ChmTopic> children;
};
