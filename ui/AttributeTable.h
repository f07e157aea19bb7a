#pragma once

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "ui/AttributeText.h"

namespace tessel {

// The markup attributes of one class, each registered once: a name, compared without regard to
// ASCII letter case, and a setter that takes the value text. A derived class's table names its
// base class's table, which answers what the derived one does not know; a name both register goes
// to the derived class's setter.
//
//   CCheckBoxUI -> COptionUI -> CButtonUI -> CLabelUI -> CControlUI -> (end)
//
// Ownership: a table owns its setters. The base is not owned: tables are function-local statics
// that live as long as the process.
template <typename Target>
class AttributeTable {
public:
    using Setter = std::function<void(Target& target, std::wstring_view value)>;

    // One registration of `Owner` (Target or a class derived from it). The name is a literal, so
    // the view stays valid.
    template <typename Owner>
    struct Entry {
        std::wstring_view name;
        void (*set)(Owner& target, std::wstring_view value);
    };

    // `Owner`'s table, falling back to `base` (null for the root class). It may only ever be used
    // on objects of `Owner` or of classes derived from it.
    template <typename Owner>
    static AttributeTable Of(const AttributeTable* base,
                             std::initializer_list<Entry<Owner>> entries) {
        AttributeTable table(base);
        table.m_entries.reserve(entries.size());
        for (const Entry<Owner>& entry : entries) {
            table.m_entries.push_back(
                {entry.name, [set = entry.set](Target& target, std::wstring_view value) {
                     set(static_cast<Owner&>(target), value);
                 }});
        }
        std::stable_sort(table.m_entries.begin(), table.m_entries.end(),
                         [](const Named& a, const Named& b) { return LessNoCase(a.name, b.name); });
        return table;
    }

    // This table's setter of `name`, else the nearest base's; null when none has it.
    const Setter* Find(std::wstring_view name) const {
        for (const AttributeTable* table = this; table != nullptr; table = table->m_base) {
            const auto it = std::lower_bound(table->m_entries.begin(), table->m_entries.end(), name,
                                             [](const Named& entry, std::wstring_view key) {
                                                 return LessNoCase(entry.name, key);
                                             });
            if (it != table->m_entries.end() && EqualsNoCase(it->name, name)) {
                return &it->set;
            }
        }
        return nullptr;
    }

    // The names this table registers itself (not its bases'), in lookup order.
    std::vector<std::wstring_view> OwnNames() const {
        std::vector<std::wstring_view> names;
        for (const Named& entry : m_entries) {
            names.push_back(entry.name);
        }
        return names;
    }

private:
    struct Named {
        std::wstring_view name;
        Setter set;
    };

    explicit AttributeTable(const AttributeTable* base) : m_base(base) {}

    std::vector<Named> m_entries;  // sorted by name without regard to case
    const AttributeTable* m_base;  // not owned
};

}  // namespace tessel
