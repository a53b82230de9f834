#pragma once

#include "core/store/SettingsStore.h"

#include <map>
#include <vector>

// The settings store held in memory, for tests and benchmarks. It can be told
// to fail, so that tests reach the callers' failure handling.
class MemorySettingsStore : public SettingsStore {
public:
    std::optional<QString> get(const QString &section, const QString &name) override;
    bool save(const QString &section, const QString &name, const QString &value) override;
    bool deleteSection(const QString &section) override;
    bool deleteValue(const QString &section, const QString &name) override;
    std::optional<QList<StoreValue>> listValues(const QString &section) override;
    std::optional<QList<TreeValue>> listTree(const QString &section) override;
    std::optional<QStringList> childSections(const QString &section) override;
    bool transaction(const std::function<bool()> &body) override;
    std::optional<qint64> version() override { return m_version; }

    // From now on every operation fails (true) or works again (false).
    void setBroken(bool broken) { m_broken = broken; }
    // From now on reading a section tree fails (true) while all else works.
    void setTreeReadsBroken(bool broken) { m_treeReadsBroken = broken; }
    // The next `count` writes work, every write after them fails; -1 lifts it.
    void failWritesAfter(int count) { m_writesLeft = count; }
    // Number of sections that hold at least one value.
    int sectionCount() const { return int(m_sections.size()); }

private:
    using Section = std::vector<StoreValue>;
    bool mayRead();
    bool mayWrite();

    std::map<QString, Section> m_sections;
    bool m_broken = false;
    bool m_treeReadsBroken = false;
    int m_writesLeft = -1;
    qint64 m_version = 0; // counts the writes tried
};
