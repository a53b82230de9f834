#include "core/store/MemorySettingsStore.h"

#include <algorithm>

namespace {

// Sections below `section` sort between section + "\" and section + "]",
// because "]" follows "\" in every ordering of characters.
QString belowFirst(const QString &section)
{
    return section + QLatin1Char('\\');
}
QString belowEnd(const QString &section)
{
    return section + QLatin1Char(']');
}

} // namespace

bool MemorySettingsStore::mayRead()
{
    if (!m_broken)
        return true;
    reportFailure(QStringLiteral("the settings store is out of order"));
    return false;
}

bool MemorySettingsStore::mayWrite()
{
    if (!mayRead())
        return false;
    if (m_writesLeft == 0) {
        reportFailure(QStringLiteral("the settings store refused a write"));
        return false;
    }
    if (m_writesLeft > 0)
        --m_writesLeft;
    ++m_version;
    return true;
}

std::optional<QString> MemorySettingsStore::get(const QString &section, const QString &name)
{
    if (!mayRead())
        return std::nullopt;
    const auto it = m_sections.find(section);
    if (it == m_sections.end())
        return QString();
    for (const StoreValue &v : it->second)
        if (v.name == name)
            return v.value;
    return QString();
}

bool MemorySettingsStore::save(const QString &section, const QString &name, const QString &value)
{
    if (!mayWrite())
        return false;
    Section &values = m_sections[section];
    for (StoreValue &v : values) {
        if (v.name == name) {
            v.value = value;
            return true;
        }
    }
    values.push_back({name, value});
    return true;
}

bool MemorySettingsStore::deleteSection(const QString &section)
{
    if (!mayWrite())
        return false;
    m_sections.erase(section);
    m_sections.erase(m_sections.lower_bound(belowFirst(section)),
                     m_sections.lower_bound(belowEnd(section)));
    return true;
}

bool MemorySettingsStore::deleteValue(const QString &section, const QString &name)
{
    if (!mayWrite())
        return false;
    const auto it = m_sections.find(section);
    if (it == m_sections.end())
        return true;
    std::erase_if(it->second, [&](const StoreValue &v) { return v.name == name; });
    if (it->second.empty())
        m_sections.erase(it);
    return true;
}

std::optional<QList<StoreValue>> MemorySettingsStore::listValues(const QString &section)
{
    if (!mayRead())
        return std::nullopt;
    QList<StoreValue> result;
    const auto it = m_sections.find(section);
    if (it != m_sections.end())
        result = QList<StoreValue>(it->second.begin(), it->second.end());
    return result;
}

std::optional<QList<TreeValue>> MemorySettingsStore::listTree(const QString &section)
{
    if (m_treeReadsBroken)
        reportFailure(QStringLiteral("the settings store could not read a section tree"));
    if (m_treeReadsBroken || !mayRead())
        return std::nullopt;
    QList<TreeValue> result;
    const auto add = [&](const auto &entry) {
        for (const StoreValue &v : entry.second)
            result.append({entry.first, v.name, v.value});
    };
    if (const auto it = m_sections.find(section); it != m_sections.end())
        add(*it);
    for (auto it = m_sections.lower_bound(belowFirst(section));
         it != m_sections.lower_bound(belowEnd(section)); ++it)
        add(*it);
    return result;
}

std::optional<QStringList> MemorySettingsStore::childSections(const QString &section)
{
    if (!mayRead())
        return std::nullopt;
    const QString prefix = belowFirst(section);
    QStringList children;
    for (auto it = m_sections.lower_bound(prefix); it != m_sections.lower_bound(belowEnd(section));
         ++it) {
        const QString child = it->first.mid(prefix.size()).section(QLatin1Char('\\'), 0, 0);
        if (children.isEmpty() || children.constLast() != child)
            children.append(child);
    }
    children.removeDuplicates();
    return children;
}

bool MemorySettingsStore::transaction(const std::function<bool()> &body)
{
    if (!mayRead())
        return false;
    const auto saved = m_sections;
    if (body())
        return true;
    m_sections = saved;
    return false;
}
