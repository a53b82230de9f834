#include "gui/platform/ChmSitemap.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

namespace ChmSitemap {

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QString cString(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    return decodeText(end < 0 ? bytes : bytes.left(end)).trimmed();
}

namespace {

// Sitemap parsing: a forgiving scan for <ul>, </ul>, <object>, <param> and
// </object>, whatever the letter case, quoting and line breaks.

QString decodeEntities(const QString &text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9a-fA-F]+|#[0-9]+|[a-zA-Z]+);"));
    QString out;
    qsizetype last = 0;
    auto it = entity.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        const QString name = m.captured(1);
        QString replacement = m.captured(0);
        if (name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)) {
            bool ok = false;
            const char32_t code = name.mid(2).toUInt(&ok, 16);
            if (ok && code > 0 && code <= 0x10FFFF)
                replacement = QString::fromUcs4(&code, 1);
        } else if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const char32_t code = name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF)
                replacement = QString::fromUcs4(&code, 1);
        } else {
            const QString lower = name.toLower();
            if (lower == QLatin1String("amp"))
                replacement = QStringLiteral("&");
            else if (lower == QLatin1String("lt"))
                replacement = QStringLiteral("<");
            else if (lower == QLatin1String("gt"))
                replacement = QStringLiteral(">");
            else if (lower == QLatin1String("quot"))
                replacement = QStringLiteral("\"");
            else if (lower == QLatin1String("apos"))
                replacement = QStringLiteral("'");
            else if (lower == QLatin1String("nbsp"))
                replacement = QString(QChar(0xa0));
        }
        out += replacement;
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

// The attributes of one tag's text (without "<" and ">").
QHash<QString, QString> attributes(QStringView tag)
{
    QHash<QString, QString> result;
    qsizetype i = 0;
    while (i < tag.size() && !tag.at(i).isSpace())
        ++i; // the tag name
    while (i < tag.size()) {
        while (i < tag.size() && (tag.at(i).isSpace() || tag.at(i) == QLatin1Char('/')))
            ++i;
        const qsizetype nameStart = i;
        while (i < tag.size() && !tag.at(i).isSpace() && tag.at(i) != QLatin1Char('=') &&
               tag.at(i) != QLatin1Char('/'))
            ++i;
        const QString name = tag.mid(nameStart, i - nameStart).toString().toLower();
        while (i < tag.size() && tag.at(i).isSpace())
            ++i;
        QString value;
        if (i < tag.size() && tag.at(i) == QLatin1Char('=')) {
            ++i;
            while (i < tag.size() && tag.at(i).isSpace())
                ++i;
            if (i < tag.size() &&
                (tag.at(i) == QLatin1Char('"') || tag.at(i) == QLatin1Char('\''))) {
                const QChar quote = tag.at(i++);
                const qsizetype valueStart = i;
                while (i < tag.size() && tag.at(i) != quote)
                    ++i;
                value = tag.mid(valueStart, i - valueStart).toString();
                if (i < tag.size())
                    ++i;
            } else {
                const qsizetype valueStart = i;
                while (i < tag.size() && !tag.at(i).isSpace())
                    ++i;
                value = tag.mid(valueStart, i - valueStart).toString();
            }
        }
        if (!name.isEmpty() && !result.contains(name))
            result.insert(name, decodeEntities(value));
        if (i == nameStart)
            ++i; // never stand still
    }
    return result;
}

QString tagName(QStringView tag)
{
    qsizetype end = 0;
    while (end < tag.size() && !tag.at(end).isSpace() && tag.at(end) != QLatin1Char('/'))
        ++end;
    if (end == 0 && tag.startsWith(QLatin1Char('/'))) {
        end = 1;
        while (end < tag.size() && !tag.at(end).isSpace())
            ++end;
    }
    return tag.left(end).toString().toLower();
}

// The ">" that closes a tag opened before `from`, skipping quoted values; with
// an unbalanced quote (no ">" after a quote within a kilobyte), simply the
// next ">", so that a broken file costs no more than one pass.
qsizetype tagEnd(const QString &text, qsizetype from)
{
    const qsizetype limit = std::min(text.size(), from + 1024);
    QChar quote;
    for (qsizetype i = from; i < limit; ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('>')) {
            return i;
        }
    }
    return text.indexOf(QLatin1Char('>'), from);
}

struct FlatTopic {
    int depth;
    int parent;
    ChmTopic topic;
};

constexpr int kMaxSitemapDepth = 64;

ChmTopic buildTopic(const QList<FlatTopic> &flat, const QList<QList<int>> &children, int index)
{
    ChmTopic topic = flat.at(index).topic;
    for (int child : children.at(index))
        topic.children.append(buildTopic(flat, children, child));
    return topic;
}

} // namespace

QString pageTitle(const QByteArray &html)
{
    static const QRegularExpression title(QStringLiteral("<title[^>]*>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = title.match(decodeText(html));
    return m.hasMatch() ? decodeEntities(m.captured(1)).simplified() : QString();
}

QList<ChmTopic> parse(const QByteArray &bytes)
{
    const QString text = decodeText(bytes);
    QList<FlatTopic> flat;
    QList<int> ancestors; // the topics that the next one may sit under, outermost first
    int depth = 0;
    bool inObject = false;
    bool isSitemap = false;
    QString name;
    QString local;

    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype lt = text.indexOf(QLatin1Char('<'), pos);
        if (lt < 0)
            break;
        if (QStringView(text).mid(lt, 4) == QLatin1String("<!--")) {
            const qsizetype end = text.indexOf(QLatin1String("-->"), lt + 4);
            pos = end < 0 ? text.size() : end + 3;
            continue;
        }
        const qsizetype gt = tagEnd(text, lt + 1);
        if (gt < 0)
            break;
        const QStringView tag = QStringView(text).mid(lt + 1, gt - lt - 1).trimmed();
        pos = gt + 1;
        const QString tname = tagName(tag);

        if (tname == QLatin1String("ul")) {
            ++depth;
        } else if (tname == QLatin1String("/ul")) {
            depth = std::max(0, depth - 1);
        } else if (tname == QLatin1String("object")) {
            inObject = true;
            isSitemap = attributes(tag)
                            .value(QStringLiteral("type"))
                            .trimmed()
                            .compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0;
            name.clear();
            local.clear();
        } else if (tname == QLatin1String("param") && inObject) {
            const QHash<QString, QString> a = attributes(tag);
            const QString key = a.value(QStringLiteral("name")).trimmed().toLower();
            const QString value = a.value(QStringLiteral("value")).trimmed();
            if (key == QLatin1String("name") && name.isEmpty())
                name = value;
            else if (key == QLatin1String("local") && local.isEmpty())
                local = value;
        } else if (tname == QLatin1String("/object") && inObject) {
            inObject = false;
            if (isSitemap && (!name.isEmpty() || !local.isEmpty())) {
                const qsizetype sep = local.indexOf(QLatin1String("::"));
                if (sep >= 0)
                    local = local.mid(sep + 2); // "other.chm::/page.htm" -> "/page.htm"
                const int d = std::clamp(depth, 1, kMaxSitemapDepth);
                while (!ancestors.isEmpty() && flat.at(ancestors.last()).depth >= d)
                    ancestors.removeLast();
                const int parent = ancestors.isEmpty() ? -1 : ancestors.last();
                flat.append({d, parent, ChmTopic{name.isEmpty() ? local : name, local, {}}});
                ancestors.append(int(flat.size() - 1));
            }
        }
    }

    QList<QList<int>> children(flat.size());
    QList<int> roots;
    for (int i = 0; i < flat.size(); ++i) {
        if (flat.at(i).parent < 0)
            roots.append(i);
        else
            children[flat.at(i).parent].append(i);
    }
    QList<ChmTopic> result;
    for (int r : roots)
        result.append(buildTopic(flat, children, r));
    return result;
}

} // namespace ChmSitemap
